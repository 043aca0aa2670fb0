// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A thin Qt view of one window of the control model: builds the widgets at the model's positions, follows the
// model's changes, and forwards the user's gestures (menu picks, clicks, list picks, keys, resizes, the close
// box) to the model, which raises the logic's events.

#include <QHash>
#include <QMainWindow>
#include <QTimer>
#include <vector>

#include "platform/controls.h"
#include "platform/qt/image/image_loader.h"

class QAction;
class QKeyEvent;
class QMenu;
class QTimer;

namespace gb::qt {
class WindowStates;
}

namespace gb::qt {

struct WindowContent {
    platform::Window* window = nullptr;
    std::vector<platform::Control*> controls;  // stacking order, top first
    std::vector<platform::MenuItem*> menus;    // menu-bar titles in order
    std::vector<platform::Timer*> timers;
};

class WindowView : public QMainWindow {
    Q_OBJECT
public:
    WindowView(const WindowContent& content, ImageLoader& loader, QWidget* parent = nullptr);
    ~WindowView() override;

    QWidget* widgetFor(const platform::Control* control) const { return widgets_.value(control); }
    QWidget* clientArea() const { return client_; }
    // Gives the keyboard to the control the model has focused when the menu bar holds it without being navigated.
    void restoreFocus();

signals:
    // The window has closed (unloaded, or closed by the user without a handler to refuse it).
    void closed();
    // The window is on the screen for the first time, in the state the logic asked for and at the size the
    // window manager gave it.
    void firstShown();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* createWidget(platform::Control& control);
    void applyControl(platform::Control& control);
    void applyWindow();
    void buildMenu(platform::MenuItem& item, QMenu* into);
    void applyMenu(platform::MenuItem& item);
    void bindTimer(platform::Timer& timer);
    void reportGeometry();
    bool openFirstMenu();
    void deliverKey(const QKeyEvent& key, int vk, QWidget* control);
    void watchExposure();
    void windowExposed();
    bool menusHidden() const;
    platform::Control* controlFor(QWidget* widget) const;

    WindowContent content_;
    ImageLoader& loader_;
    QWidget* client_ = nullptr;
    QHash<const platform::Control*, QWidget*> widgets_;
    QHash<const platform::MenuItem*, QAction*> actions_;
    WindowStates* states_ = nullptr;  // normal, maximised, full screen, minimised, as the logic wishes
    bool shownOnce_ = false;
    // The copy of a key on its way to the focused control, once the window has seen the key.
    const QEvent* forwarding_ = nullptr;
    bool exposureWatched_ = false;
};

// Shows a window modally over `owner` and returns once it has closed.
void showModal(const WindowContent& content, ImageLoader& loader, QWidget* owner);

}  // namespace gb::qt
