// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window's state on the platform (normal, maximised, full screen, minimised, hidden) as the logic wishes it.
// The logic asks for full screen as a normal window lifted above the screen's top edge with its menus hidden;
// here that is the platform's full-screen state. One request goes to the window manager at a time, it is given
// time to act, and the state it left is checked again; only the user's minimising and restoring go back to the
// logic (maximised and full screen are its own requests).

#include <QSize>
#include <QTimer>
#include <functional>

#include "platform/controls.h"

class QMainWindow;

namespace gb::qt {

class WindowStates : public QObject {
public:
    // `menusHidden` says whether the logic has hidden every menu; `beforeRequest` runs before each request to the
    // platform (the view watches the platform window's exposure from the first one).
    WindowStates(QMainWindow& window, platform::Window& model, std::function<bool()> menusHidden,
                 std::function<void()> beforeRequest);

    // The logic changed its window: the size the wished state will have is reported at once, and the state is
    // asked for once the handler has returned.
    void follow();
    // What the platform did: the client area's new size, a new window state, a resize, the window exposed.
    void clientResized(QSize client);
    void stateChanged();
    void resized();
    void exposed();

private:
    enum class Presentation { Hidden, Normal, Maximized, FullScreen, Minimized };
    void followFullScreenWish();
    Presentation wantedPresentation() const;
    void sync();
    void present(Presentation wanted);
    bool platformShows(Presentation p) const;
    void settled();
    void maximiseAfterLeavingFullScreen();

    QMainWindow& window_;
    platform::Window& model_;
    std::function<bool()> menusHidden_;
    std::function<void()> beforeRequest_;
    bool syncPending_ = false;
    // The state last asked of the platform.
    Presentation presentation_ = Presentation::Hidden;
    bool maximiseAfterFullScreen_ = false;
    bool fullScreenWish_ = false;
    // After each request the window manager is given this long before the next.
    static constexpr int settleMs = 150;
    static constexpr int maxSettleRetries = 5;
    QTimer settling_;
    int settleRetries_ = 0;
    bool activateWhenShown_ = false;
    // The client size of the maximised window, known once it has been maximised: leaving full screen
    // reports it at once, before the window manager has restored the window.
    QSize maximisedClient_;
};

}  // namespace gb::qt
