// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The viewer on Qt: the services, the main window's logic and the views of its windows. The program, the widget
// tests and the benchmarks all start it this way.

#include <QSize>
#include <memory>
#include <string>
#include <vector>

#include "app/form1.h"
#include "platform/qt/image/image_loader.h"
#include "platform/qt/qt_services.h"
#include "platform/qt/view/window_view.h"

namespace gb::qt {

class Viewer {
public:
    // `screen` is the screen the main window opens on, in pixels; empty: the primary screen's.
    explicit Viewer(QSize screen = {});

    QtEventQueue events;
    QtFileSystem files;
    QtTrash trash;
    QtFileDialog fileDialog;
    QtMessageBoxes messages;
    ImageLoader loader;
    platform::Services services;
    Form1 form;
    WindowView view;
    std::unique_ptr<WindowView> suspendedView;

    // Form_Load, then the window is shown (once the event loop runs).
    void start();
    // Opens what the command line or a drop gives: the first path's folder at it; the user is told of the
    // paths that were not opened.
    void open(const std::vector<std::string>& given);

private:
    void tell(const std::string& text);
};

}  // namespace gb::qt
