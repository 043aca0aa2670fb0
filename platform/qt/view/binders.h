// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One binder per kind of control: it makes the control's widget, wires the user's gestures on it to the model
// (which raises the logic's events), and applies the model's state to it whenever the model changes.

#include <QWidget>

#include "platform/controls.h"
#include "platform/qt/image/image_loader.h"

namespace gb::qt {

struct Binder {
    QWidget* (*create)(platform::Control& control, QWidget* parent, ImageLoader& loader);
    // What is particular to the kind; place, enabled state and visibility are the window view's.
    void (*apply)(platform::Control& control, QWidget* widget);
};

const Binder& binderFor(platform::ControlKind kind);

// The names, tool tip and colours of the design, set once on a control's new widget.
void applyDesign(const platform::Control& control, QWidget* widget);

}  // namespace gb::qt
