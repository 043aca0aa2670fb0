// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the widget tests share: the whole viewer, started on the offscreen platform over a temporary folder.

#include <QColor>
#include <QRect>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <mutex>
#include <optional>

#include "app/form1.h"
#include "platform/qt/viewer.h"

namespace gb::test {

// XDG_DATA_HOME, where the trash is, set to `path` while it lives: no test touches the user's own trash.
struct DataHome {
    explicit DataHome(const QString& path);
    ~DataHome();
    QByteArray saved = qgetenv("XDG_DATA_HOME");
};

// The trash is the folder's own (data/Trash).
struct OnScreen {
    QTemporaryDir dir;
    DataHome dataHome{dir.filePath("data")};
    std::optional<qt::Viewer> viewer{std::in_place, QSize(1280, 1024)};
    Form1& form = viewer->form;
    qt::ImageLoader& loader = viewer->loader;

    OnScreen();
    QString file(const QString& name) const { return dir.filePath(name); }
    // Opens a file or folder of the temporary folder as the command line does.
    void open(const QString& name);
    // Waits until `path` is on show with its document complete.
    bool shows(const std::string& path, int ms = 5000);
    bool shows(const char* name, int ms = 5000) { return shows(qt::toStdString(file(name)), ms); }
    QWidget* imagePage() const;
    // The box around the image page's pixels that `wanted` picks, once it is `size` (any size when invalid).
    QRect drawnBox(const std::function<bool(QColor)>& wanted, QSize size = {}, int ms = 5000);
};

// The peak resident memory of this process and its decoder helpers together so far, in MiB, as watched since
// watchMemory() (or the first call).
long peakMiB();
void watchMemory();
// Keeps the watch between two readings while it lives: a process forked meanwhile inherits no lock the watch held
// (its readings allocate).
std::unique_lock<std::mutex> holdMemoryWatch();

}  // namespace gb::test
