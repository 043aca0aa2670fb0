// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/view/window_states.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>

#include "platform/qt/logging.h"

namespace gb::qt {

WindowStates::WindowStates(QMainWindow& window, platform::Window& model, std::function<bool()> menusHidden,
                           std::function<void()> beforeRequest)
    : QObject(&window),
      window_(window),
      model_(model),
      menusHidden_(std::move(menusHidden)),
      beforeRequest_(std::move(beforeRequest)) {
    settling_.setSingleShot(true);
    settling_.setInterval(settleMs);
    connect(&settling_, &QTimer::timeout, this, [this] { settled(); });
}

// A normal window above the screen's top edge with its menus hidden is the full-screen wish. Once asked for, it
// stays until the logic asks for another state or shows its menus: the window manager's reports of the real
// position (top 0) do not end it.
void WindowStates::followFullScreenWish() {
    if (model_.windowState() != platform::WindowState::Normal || !menusHidden_()) {
        fullScreenWish_ = false;
    } else if (model_.top() < 0) {
        fullScreenWish_ = true;
    }
}

WindowStates::Presentation WindowStates::wantedPresentation() const {
    switch (model_.windowState()) {
        case platform::WindowState::Minimized: return Presentation::Minimized;
        case platform::WindowState::Maximized: return Presentation::Maximized;
        case platform::WindowState::Normal: break;
    }
    return fullScreenWish_ ? Presentation::FullScreen : Presentation::Normal;
}

void WindowStates::follow() {
    const bool wasFullScreen = fullScreenWish_;
    followFullScreenWish();
    const QScreen* shown = window_.screen() ? window_.screen() : QGuiApplication::primaryScreen();
    // Size changes are reported to the logic at once, as the window system it was written for does; the real
    // size confirms them when the window manager has acted.
    const Presentation wanted = wantedPresentation();
    if (wanted == Presentation::FullScreen && !wasFullScreen) {
        model_.resized(shown->geometry().width(), shown->geometry().height());
    } else if (wanted == Presentation::Maximized && (wasFullScreen || presentation_ == Presentation::Hidden)) {
        if (maximisedClient_.isValid()) {
            model_.resized(maximisedClient_.width(), maximisedClient_.height());
        } else {
            // A first estimate; the window manager's frame is known once the window is shown.
            const QRect avail = shown->availableGeometry();
            model_.resized(avail.width(), avail.height() - window_.menuBar()->sizeHint().height());
        }
    }
    // The window's state and visibility follow once the handler has returned: a window hidden and shown again,
    // or passing through the normal state on its way to full screen, does so without flicker, and a burst of
    // requests ends in the last one.
    if (!syncPending_) {
        syncPending_ = true;
        QTimer::singleShot(0, this, [this] { sync(); });
    }
}

// Asks the platform for a state only when the logic's wish changed (or the window was hidden): the platform's
// own echoes, and a user who resized the window by hand, are left alone. On Wayland a full-screen or maximised
// surface takes the size the compositor gives it; nothing here moves or sizes it.
void WindowStates::sync() {
    syncPending_ = false;
    if (!model_.visible()) {
        window_.hide();
        return;
    }
    // One request at a time: wishes that come while the window manager is still acting on the last one (a
    // burst of Esc) are applied together when it has settled, so the last wish is the state that stays.
    if (settling_.isActive()) return;
    const Presentation wanted = wantedPresentation();
    if (wanted == presentation_ && window_.isVisible()) return;
    present(wanted);
}

void WindowStates::present(Presentation wanted) {
    // A window the logic shows again (the main window after the suspended-images window) takes the keyboard
    // once the window manager has mapped it; not every window manager hands it over by itself.
    if (!window_.isVisible()) activateWhenShown_ = true;
    presentation_ = wanted;
    beforeRequest_();
    settling_.start();
    const int t = platform::Window::twipsPerPixel;
    switch (wanted) {
        case Presentation::FullScreen: window_.showFullScreen(); break;
        case Presentation::Maximized:
            // On Wayland, a maximise asked for while the compositor still has the window full screen is
            // configured with no size (weston 10), and Qt 6.4 then commits its own size: a protocol error that
            // ends the program. Leave full screen first; maximise once the compositor has sized the normal window.
            if (window_.isFullScreen() && QGuiApplication::platformName() == QLatin1String("wayland")) {
                maximiseAfterFullScreen_ = true;
                window_.showNormal();
                QTimer::singleShot(1000, this, [this] { maximiseAfterLeavingFullScreen(); });
            } else {
                window_.showMaximized();
            }
            break;
        case Presentation::Minimized: window_.showMinimized(); break;
        case Presentation::Hidden: break;
        case Presentation::Normal:
            window_.showNormal();
            if (model_.top() >= 0 && (window_.pos().x() * t != model_.left() || window_.pos().y() * t != model_.top()))
                window_.move(static_cast<int>(model_.left() / t), static_cast<int>(model_.top() / t));
            break;
    }
}

bool WindowStates::platformShows(Presentation p) const {
    switch (p) {
        case Presentation::FullScreen: return window_.isFullScreen();
        case Presentation::Maximized: return window_.isMaximized() && !window_.isFullScreen() && !window_.isMinimized();
        case Presentation::Minimized: return window_.isMinimized();
        case Presentation::Normal: return !window_.isMaximized() && !window_.isFullScreen() && !window_.isMinimized();
        case Presentation::Hidden: return !window_.isVisible();
    }
    return true;
}

// The window manager has had its time: the latest wish is asked for again if it differs from the last request
// or the window ended elsewhere (a window manager that acted on requests out of order).
void WindowStates::settled() {
    if (!model_.visible() || maximiseAfterFullScreen_) return;
    const Presentation wanted = wantedPresentation();
    qCDebug(lcGlimmerbox) << "window settled: wanted" << int(wanted) << "asked" << int(presentation_) << "platform"
                          << window_.windowState();
    if (wanted != presentation_ || !platformShows(wanted)) {
        if (++settleRetries_ > maxSettleRetries) return;
        present(wanted);
    } else {
        settleRetries_ = 0;
    }
}

void WindowStates::clientResized(QSize client) {
    if (window_.isMaximized() && !window_.isFullScreen()) maximisedClient_ = client;
}

void WindowStates::stateChanged() {
    qCDebug(lcGlimmerbox) << "window state" << window_.windowState() << "asked" << int(presentation_);
    // A state reported while a request is fresh may be the window manager's late answer to an older one.
    if (!settling_.isActive() && settleRetries_ == 0 && !platformShows(presentation_)) settling_.start();
}

void WindowStates::resized() {
    if (maximiseAfterFullScreen_) QTimer::singleShot(0, this, [this] { maximiseAfterLeavingFullScreen(); });
}

void WindowStates::exposed() {
    if (activateWhenShown_ && window_.isVisible()) {
        activateWhenShown_ = false;
        window_.activateWindow();
    }
}

void WindowStates::maximiseAfterLeavingFullScreen() {
    if (!maximiseAfterFullScreen_) return;
    maximiseAfterFullScreen_ = false;
    if (presentation_ == Presentation::Maximized) window_.showMaximized();
}

}  // namespace gb::qt
