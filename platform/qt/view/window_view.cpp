#include "platform/qt/view/window_view.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include "platform/qt/logging.h"
#include "platform/qt/qt_services.h"
#include "platform/qt/view/binders.h"
#include "platform/qt/view/key_codes.h"
#include "platform/qt/view/pick_list.h"

namespace gb::qt {

namespace {
// Captions can hold file names, whose bytes need not be UTF-8.
QString qs(const std::string& s) { return toQString(s); }
}  // namespace

WindowView::WindowView(const WindowContent& content, ImageLoader& loader, QWidget* parent)
    : QMainWindow(parent), content_(content), loader_(loader) {
    installAccessibleFactories();
    client_ = new QWidget(this);
    client_->setAccessibleName(qs(content_.window->caption()));
    setCentralWidget(client_);
    client_->installEventFilter(this);

    // Create bottom-up so that a control listed earlier lies above a later one.
    for (auto it = content_.controls.rbegin(); it != content_.controls.rend(); ++it) {
        platform::Control* c = *it;
        QWidget* w = createWidget(*c);
        widgets_.insert(c, w);
        c->onChanged = [this, c] { applyControl(*c); };
    }
    for (platform::Control* c : content_.controls) applyControl(*c);
    for (auto it = content_.controls.rbegin(); it != content_.controls.rend(); ++it) widgets_.value(*it)->raise();

    for (platform::MenuItem* m : content_.menus) buildMenu(*m, nullptr);
    for (platform::Timer* t : content_.timers) bindTimer(*t);

    content_.window->onChanged = [this] { applyWindow(); };
    settling_.setSingleShot(true);
    settling_.setInterval(settleMs);
    connect(&settling_, &QTimer::timeout, this, [this] { settled(); });
    if (content_.menus.empty()) menuBar()->hide();
    // A window that is not maximised opens at the client size of its design.
    if (content_.window->scaleWidth() > 0)
        client_->setFixedSize(content_.window->scaleWidth(), content_.window->scaleHeight());
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && now->window() == this) content_.window->platformFocusChanged(controlFor(now));
        // Qt gives the keyboard back to the menu bar when a modal window opened from the keyboard menus closes;
        // not navigated, it would take the letter keys away from the window's commands.
        if (now && now == menuBar() && !menuBar()->activeAction())
            QTimer::singleShot(0, this, [this] { restoreFocus(); });
    });
    applyWindow();
}

WindowView::~WindowView() {
    qApp->removeEventFilter(this);
    for (platform::Control* c : content_.controls) c->onChanged = nullptr;
    content_.window->onChanged = nullptr;
}

platform::Control* WindowView::controlFor(QWidget* widget) const {
    for (QWidget* w = widget; w && w != this; w = w->parentWidget())
        if (const platform::Control* c = widgets_.key(w, nullptr)) return const_cast<platform::Control*>(c);
    return nullptr;
}

QWidget* WindowView::createWidget(platform::Control& c) {
    QWidget* parent = c.container() ? widgets_.value(c.container()) : client_;
    // Containers are created before what they hold only when listed after it; make sure they exist.
    if (c.container() && !parent) {
        parent = createWidget(*c.container());
        widgets_.insert(c.container(), parent);
        c.container()->onChanged = [this, k = c.container()] { applyControl(*k); };
    }
    if (widgets_.contains(&c)) return widgets_.value(&c);
    QWidget* w = binderFor(c.kind()).create(c, parent, loader_);
    applyDesign(c, w);
    return w;
}

void WindowView::applyControl(platform::Control& c) {
    QWidget* w = widgets_.value(&c);
    if (!w) return;
    w->setGeometry(c.left(), c.top(), std::max(0, c.width()), std::max(0, c.height()));
    w->setEnabled(c.enabled());
    binderFor(c.kind()).apply(c, w);
    // A label without a caption shows nothing; hidden, a screen reader does not stop at it either.
    const bool blankLabel = c.kind() == platform::ControlKind::Label &&
                            static_cast<platform::Label&>(c).caption().empty() && !c.appearance.background;
    w->setVisible(c.visible() && !blankLabel);
}

bool WindowView::menusHidden() const {
    for (const platform::MenuItem* m : content_.menus)
        if (m->visible()) return false;
    return !content_.menus.empty();
}

// The logic lifts a normal window above the screen's top edge with its menus hidden: on this platform that is the
// full-screen window state. Once asked for, it stays until the logic asks for another state or shows its menus:
// the window manager's reports of the real position (top 0) do not end it.
void WindowView::followFullScreenWish() {
    const platform::Window& m = *content_.window;
    if (m.windowState() != platform::WindowState::Normal || !menusHidden()) {
        fullScreenWish_ = false;
    } else if (m.top() < 0) {
        fullScreenWish_ = true;
    }
}

WindowView::Presentation WindowView::wantedPresentation() const {
    switch (content_.window->windowState()) {
        case platform::WindowState::Minimized: return Presentation::Minimized;
        case platform::WindowState::Maximized: return Presentation::Maximized;
        case platform::WindowState::Normal: break;
    }
    return fullScreenWish_ ? Presentation::FullScreen : Presentation::Normal;
}

void WindowView::applyWindow() {
    platform::Window& m = *content_.window;
    if (m.unloaded()) {
        close();
        return;
    }
    setWindowTitle(qs(m.caption()));
    const bool wasFullScreen = fullScreenWish_;
    followFullScreenWish();
    const QScreen* shown = screen() ? screen() : QGuiApplication::primaryScreen();
    // Size changes are reported to the logic at once, as the window system it was written for does; the real
    // size confirms them when the window manager has acted.
    const Presentation wanted = wantedPresentation();
    if (wanted == Presentation::FullScreen && !wasFullScreen) {
        content_.window->resized(shown->geometry().width(), shown->geometry().height());
    } else if (wanted == Presentation::Maximized && (wasFullScreen || presentation_ == Presentation::Hidden)) {
        if (maximisedClient_.isValid()) {
            content_.window->resized(maximisedClient_.width(), maximisedClient_.height());
        } else {
            // A first estimate; the window manager's frame is known once the window is shown.
            const QRect avail = shown->availableGeometry();
            content_.window->resized(avail.width(), avail.height() - menuBar()->sizeHint().height());
        }
    }
    // The window's state and visibility follow once the handler has returned: a window hidden and shown again,
    // or passing through the normal state on its way to full screen, does so without flicker, and a burst of
    // requests ends in the last one.
    if (!statePending_) {
        statePending_ = true;
        QTimer::singleShot(0, this, [this] { syncWindowState(); });
    }
    if (m.focused()) {
        if (QWidget* w = widgets_.value(m.focused()); w && !w->hasFocus()) w->setFocus(Qt::OtherFocusReason);
    }
}

// Asks the platform for a state only when the logic's wish changed (or the window was hidden): the platform's
// own echoes, and a user who resized the window by hand, are left alone. On Wayland a full-screen or maximised
// surface takes the size the compositor gives it; nothing here moves or sizes it.
void WindowView::syncWindowState() {
    statePending_ = false;
    const platform::Window& m = *content_.window;
    if (!m.visible()) {
        hide();
        return;
    }
    // One request at a time: wishes that come while the window manager is still acting on the last one (a
    // burst of Esc) are applied together when it has settled, so the last wish is the state that stays.
    if (settling_.isActive()) return;
    const Presentation wanted = wantedPresentation();
    if (wanted == presentation_ && isVisible()) return;
    present(wanted);
}

void WindowView::present(Presentation wanted) {
    const platform::Window& m = *content_.window;
    // A window the logic shows again (the main window after the suspended-images window) takes the keyboard
    // once the window manager has mapped it; not every window manager hands it over by itself.
    if (!isVisible()) activateWhenShown_ = true;
    presentation_ = wanted;
    if (!exposureWatched_) {
        exposureWatched_ = true;
        winId();  // makes the platform window, whose exposure tells when the window is on the screen
        windowHandle()->installEventFilter(this);
    }
    settling_.start();
    const int t = platform::Window::twipsPerPixel;
    switch (wanted) {
        case Presentation::FullScreen: showFullScreen(); break;
        case Presentation::Maximized:
            // On Wayland, a maximise asked for while the compositor still has the window full screen is
            // configured with no size (weston 10), and Qt 6.4 then commits its own size: a protocol error that
            // ends the program. Leave full screen first; maximise once the compositor has sized the normal window.
            if (isFullScreen() && QGuiApplication::platformName() == QLatin1String("wayland")) {
                maximiseAfterFullScreen_ = true;
                showNormal();
                QTimer::singleShot(1000, this, [this] { maximiseAfterLeavingFullScreen(); });
            } else {
                showMaximized();
            }
            break;
        case Presentation::Minimized: showMinimized(); break;
        case Presentation::Hidden: break;
        case Presentation::Normal:
            showNormal();
            if (m.top() >= 0 && (pos().x() * t != m.left() || pos().y() * t != m.top()))
                move(static_cast<int>(m.left() / t), static_cast<int>(m.top() / t));
            break;
    }
}

bool WindowView::platformShows(Presentation p) const {
    switch (p) {
        case Presentation::FullScreen: return isFullScreen();
        case Presentation::Maximized: return isMaximized() && !isFullScreen() && !isMinimized();
        case Presentation::Minimized: return isMinimized();
        case Presentation::Normal: return !isMaximized() && !isFullScreen() && !isMinimized();
        case Presentation::Hidden: return !isVisible();
    }
    return true;
}

// The window manager has had its time: the latest wish is asked for again if it differs from the last request
// or the window ended elsewhere (a window manager that acted on requests out of order).
void WindowView::settled() {
    const platform::Window& m = *content_.window;
    if (!m.visible() || maximiseAfterFullScreen_) return;
    const Presentation wanted = wantedPresentation();
    qCDebug(lcGlimmerbox) << "window settled: wanted" << int(wanted) << "asked" << int(presentation_) << "platform"
                          << windowState();
    if (wanted != presentation_ || !platformShows(wanted)) {
        if (++settleRetries_ > maxSettleRetries) return;
        present(wanted);
    } else {
        settleRetries_ = 0;
    }
}

void WindowView::buildMenu(platform::MenuItem& item, QMenu* into) {
    QAction* action = nullptr;
    if (item.isSeparator()) {
        action = into->addSeparator();
    } else if (!item.children().empty()) {
        QMenu* menu = into ? into->addMenu(qs(item.caption())) : menuBar()->addMenu(qs(item.caption()));
        menu->setObjectName(qs(item.name()));
        for (platform::MenuItem* child : item.children()) buildMenu(*child, menu);
        action = menu->menuAction();
    } else {
        action = into ? into->addAction(qs(item.caption())) : menuBar()->addAction(qs(item.caption()));
        if (!item.shortcut.empty()) action->setShortcut(QKeySequence(qs(item.shortcut)));
        connect(action, &QAction::triggered, this, [this, &item] {
            QElapsedTimer clock;
            clock.start();
            item.userClick();
            applyMenu(item);
            qCDebug(lcGlimmerbox) << "menu" << qs(item.name()) << "handled in" << clock.elapsed() << "ms";
        });
    }
    action->setObjectName(qs(item.name()));
    actions_.insert(&item, action);
    item.onChanged = [this, &item] { applyMenu(item); };
    applyMenu(item);
}

void WindowView::applyMenu(platform::MenuItem& item) {
    QAction* action = actions_.value(&item);
    if (!action) return;
    if (!item.parent()) menuBar()->setVisible(!menusHidden());
    if (!item.isSeparator()) action->setText(qs(item.caption()));
    // Only a checked item shows a mark; an unchecked one shows none, not an empty box.
    action->setCheckable(item.checked());
    action->setChecked(item.checked());
    action->setEnabled(item.enabled());
    action->setVisible(item.visible());
}

void WindowView::bindTimer(platform::Timer& model) {
    auto* timer = new QTimer(this);
    timer->setObjectName(qs(model.name()));
    connect(timer, &QTimer::timeout, this, [&model] { model.elapse(); });
    model.onChanged = [timer, &model] {
        timer->stop();
        if (model.enabled() && model.interval() > 0) timer->start(model.interval());
    };
    model.onChanged();
}

void WindowView::reportGeometry() {
    const int t = platform::Window::twipsPerPixel;
    const QRect frame = frameGeometry();
    content_.window->platformGeometry(
        static_cast<std::int64_t>(frame.x()) * t, static_cast<std::int64_t>(frame.y()) * t,
        static_cast<std::int64_t>(frame.width()) * t, static_cast<std::int64_t>(frame.height()) * t);
}

bool WindowView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == windowHandle() && event->type() == QEvent::Expose && windowHandle()->isExposed()) {
        windowExposed();
        return false;
    }
    if (watched == client_ && event->type() == QEvent::Resize) {
        reportGeometry();
        if (isMaximized() && !isFullScreen()) maximisedClient_ = client_->size();
        if (!isMinimized()) content_.window->resized(client_->width(), client_->height());
        return false;
    }
    // In a window without a key handler of its own (About, the suspended images), Enter presses the focused
    // button, as in any dialog.
    if (event->type() == QEvent::KeyPress && !content_.window->onKeyDown) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        auto* button = qobject_cast<QPushButton*>(watched);
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && button && button->window() == this) {
            button->click();
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress && content_.window->onKeyDown) {
        auto* w = qobject_cast<QWidget*>(watched);
        if (!w || w->window() != this) return false;
        // While the menu bar is navigated from the keyboard (Alt, F10) or a menu or list is open, keys are theirs.
        if (qobject_cast<QMenuBar*>(w) || qobject_cast<QMenu*>(w) || QApplication::activePopupWidget()) return false;
        auto* pressed = static_cast<QKeyEvent*>(event);
        if (pressed->key() == Qt::Key_F10 && pressed->modifiers() == Qt::NoModifier && openFirstMenu()) return true;
        // A key ignored by its control travels on to the parents; the window sees it once, at its first stop.
        const QWidget* first = QApplication::focusWidget() ? QApplication::focusWidget() : this;
        if (w != first) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const int vk = virtualKeyCode(key->key(), key->modifiers());
        if (vk == 0) return false;
        int code = vk;
        QElapsedTimer clock;
        clock.start();
        // The window sees every key before the control that has the focus.
        content_.window->onKeyDown(code, shiftState(key->modifiers()));
        qCDebug(lcGlimmerbox) << "key" << vk << "handled in" << clock.elapsed() << "ms";
        return code == 0;
    }
    return false;
}

// F10 opens the first menu that can open, as on other Linux desktops.
bool WindowView::openFirstMenu() {
    if (!menuBar()->isVisible()) return false;
    for (QAction* a : menuBar()->actions()) {
        if (a->isVisible() && a->isEnabled() && a->menu()) {
            menuBar()->setFocus(Qt::MenuBarFocusReason);
            menuBar()->setActiveAction(a);
            return true;
        }
    }
    return false;
}

void WindowView::closeEvent(QCloseEvent* event) {
    if (!content_.window->unloaded() && content_.window->onQueryUnload && content_.window->onQueryUnload()) {
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}

void WindowView::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) return;
    qCDebug(lcGlimmerbox) << "window state" << windowState() << "asked" << int(presentation_);
    // A state reported while a request is fresh may be the window manager's late answer to an older one.
    if (!settling_.isActive() && settleRetries_ == 0 && !platformShows(presentation_)) settling_.start();
    // Only the user's minimising and restoring reach the logic; maximised and full screen are its own requests.
    content_.window->platformMinimized(isMinimized());
    if (!isMinimized()) content_.window->resized(client_->width(), client_->height());
}

void WindowView::windowExposed() {
    if (activateWhenShown_ && isVisible()) {
        activateWhenShown_ = false;
        activateWindow();
    }
    // The first exposure follows the window manager's placement (X11: the maximised size arrives before the
    // map; Wayland: the first configure carries it); what the logic lays out from then on uses the real size.
    if (!shownOnce_) {
        shownOnce_ = true;
        QTimer::singleShot(0, this, [this] { emit firstShown(); });
    }
}

void WindowView::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (maximiseAfterFullScreen_) QTimer::singleShot(0, this, [this] { maximiseAfterLeavingFullScreen(); });
}

void WindowView::maximiseAfterLeavingFullScreen() {
    if (!maximiseAfterFullScreen_) return;
    maximiseAfterFullScreen_ = false;
    if (presentation_ == Presentation::Maximized) showMaximized();
}

void WindowView::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    reportGeometry();
}

void showModal(const WindowContent& content, ImageLoader& loader, QWidget* owner) {
    WindowView view(content, loader, owner);
    view.setWindowFlag(Qt::Dialog);
    view.setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    QObject::connect(&view, &WindowView::closed, &loop, &QEventLoop::quit);
    content.window->setVisible(true);
    loop.exec();
}

void WindowView::restoreFocus() {
    if (QApplication::focusWidget() != menuBar() || menuBar()->activeAction()) return;
    // The menu bar had it, so the model knows no control with the focus: the client area takes it, and the key
    // handler sees the next key.
    platform::Control* focused = content_.window->focused();
    QWidget* w = focused ? widgets_.value(focused) : nullptr;
    (w && w->isVisible() ? w : client_)->setFocus(Qt::OtherFocusReason);
}

}  // namespace gb::qt
