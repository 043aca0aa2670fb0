// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/view/window_view.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <memory>
#include <utility>

#include "platform/qt/logging.h"
#include "platform/qt/qt_services.h"
#include "platform/qt/view/binders.h"
#include "platform/qt/view/key_codes.h"
#include "platform/qt/view/pick_list.h"
#include "platform/qt/view/window_states.h"

namespace gb::qt {

WindowView::WindowView(const WindowContent& content, ImageLoader& loader, QWidget* parent)
    : QMainWindow(parent), content_(content), loader_(loader) {
    installAccessibleFactories();
    client_ = new QWidget(this);
    client_->setAccessibleName(toQString(content_.window->caption()));
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

    states_ = new WindowStates(
        *this, *content_.window, [this] { return menusHidden(); }, [this] { watchExposure(); });
    content_.window->onChanged = [this] { applyWindow(); };
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

void WindowView::applyWindow() {
    platform::Window& m = *content_.window;
    if (m.unloaded()) {
        close();
        return;
    }
    setWindowTitle(toQString(m.caption()));
    states_->follow();
    if (m.focused()) {
        if (QWidget* w = widgets_.value(m.focused()); w && !w->hasFocus()) w->setFocus(Qt::OtherFocusReason);
    }
}

void WindowView::buildMenu(platform::MenuItem& item, QMenu* into) {
    QAction* action = nullptr;
    if (item.isSeparator()) {
        action = into ? into->addSeparator() : menuBar()->addSeparator();
    } else if (!item.children().empty()) {
        QMenu* menu = into ? into->addMenu(toQString(item.caption())) : menuBar()->addMenu(toQString(item.caption()));
        menu->setObjectName(toQString(item.name()));
        for (platform::MenuItem* child : item.children()) buildMenu(*child, menu);
        action = menu->menuAction();
    } else {
        action = into ? into->addAction(toQString(item.caption())) : menuBar()->addAction(toQString(item.caption()));
        if (!item.shortcut.empty()) action->setShortcut(QKeySequence(toQString(item.shortcut)));
        connect(action, &QAction::triggered, this, [this, &item] {
            QElapsedTimer clock;
            clock.start();
            item.userClick();
            applyMenu(item);
            qCDebug(lcGlimmerbox) << "menu" << toQString(item.name()) << "handled in" << clock.elapsed() << "ms";
        });
    }
    action->setObjectName(toQString(item.name()));
    actions_.insert(&item, action);
    item.onChanged = [this, &item] { applyMenu(item); };
    applyMenu(item);
}

void WindowView::applyMenu(platform::MenuItem& item) {
    QAction* action = actions_.value(&item);
    if (!action) return;
    if (!item.parent()) menuBar()->setVisible(!menusHidden());
    if (!item.isSeparator()) action->setText(toQString(item.caption()));
    // Only a checked item shows a mark; an unchecked one shows none, not an empty box.
    action->setCheckable(item.checked());
    action->setChecked(item.checked());
    action->setEnabled(item.enabled());
    action->setVisible(item.visible());
}

void WindowView::bindTimer(platform::Timer& model) {
    auto* timer = new QTimer(this);
    timer->setObjectName(toQString(model.name()));
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
        states_->clientResized(client_->size());
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
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F10 && key->modifiers() == Qt::NoModifier && openFirstMenu()) return true;
        // A key ignored by its control travels on to the parents; the window sees it once, at its first stop.
        const QWidget* first = QApplication::focusWidget() ? QApplication::focusWidget() : this;
        if (w != first || event == forwarding_) return false;
        const int vk = virtualKeyCode(key->key(), key->modifiers());
        if (vk == 0) return false;
        deliverKey(*key, vk, w);
        // Accepted, the key stops here: Qt would otherwise carry an ignored key on to the parents.
        key->accept();
        return true;
    }
    return false;
}

// The window sees every key before the control that has the focus. The command may move the focus or open a
// box with an event loop of its own, so the key the window leaves goes on to the control as a copy of its own:
// the parents it passes are never taken for the key's first stop, and no command runs twice for one press.
void WindowView::deliverKey(const QKeyEvent& key, int vk, QWidget* control) {
    int code = vk;
    const QPointer<QWidget> target(control);
    QElapsedTimer clock;
    clock.start();
    content_.window->onKeyDown(code, shiftState(key.modifiers()));
    qCDebug(lcGlimmerbox) << "key" << vk << "handled in" << clock.elapsed() << "ms";
    if (code == 0 || !target) return;
    const std::unique_ptr<QKeyEvent> copy(key.clone());
    const QEvent* outer = std::exchange(forwarding_, copy.get());
    QCoreApplication::sendEvent(target, copy.get());
    forwarding_ = outer;
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
    states_->stateChanged();
    // Only the user's minimising and restoring reach the logic; maximised and full screen are its own requests.
    content_.window->platformMinimized(isMinimized());
    if (!isMinimized()) content_.window->resized(client_->width(), client_->height());
}

// The platform window's exposure tells when the window is on the screen.
void WindowView::watchExposure() {
    if (exposureWatched_) return;
    exposureWatched_ = true;
    winId();
    windowHandle()->installEventFilter(this);
}

void WindowView::windowExposed() {
    states_->exposed();
    // The first exposure follows the window manager's placement (X11: the maximised size arrives before the
    // map; Wayland: the first configure carries it); what the logic lays out from then on uses the real size.
    if (!shownOnce_) {
        shownOnce_ = true;
        QTimer::singleShot(0, this, [this] { emit firstShown(); });
    }
}

void WindowView::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    states_->resized();
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
