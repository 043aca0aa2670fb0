// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/view/pick_list.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

namespace gb::qt {

PickList::PickList(QWidget* parent) : QComboBox(parent) {
    // The list closes before Qt reports the activation: the pick is recognised by the list having been open.
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (listOpen_) emit picked(index);
    });
}

void PickList::showPopup() {
    listOpen_ = true;
    QComboBox::showPopup();
}

void PickList::hidePopup() {
    QComboBox::hidePopup();
    QTimer::singleShot(0, this, [this] { listOpen_ = view() && view()->isVisible(); });
}

void PickList::keyPressEvent(QKeyEvent* event) {
    const bool opens = event->key() == Qt::Key_F4 || ((event->key() == Qt::Key_Down || event->key() == Qt::Key_Up) &&
                                                      (event->modifiers() & Qt::AltModifier));
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
            if (!opens) {
                event->ignore();
                return;
            }
            break;
        default: break;
    }
    QComboBox::keyPressEvent(event);
}

void PickList::wheelEvent(QWheelEvent* event) { event->ignore(); }

namespace {

// The current text is also served as read-only text: AT-SPI has no other channel for a combo box's value in
// Qt 6.4, and a screen reader reads it after the name ("Slideshow interval in seconds, combo box, 5").
class PickListAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit PickListAccessible(PickList* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}
    PickList* box() const { return static_cast<PickList*>(widget()); }

    QString text(QAccessible::Text t) const override {
        switch (t) {
            case QAccessible::Name: return box()->accessibleName();
            case QAccessible::Value: return box()->currentText();
            case QAccessible::Description: return box()->accessibleDescription();
            default: return QAccessibleWidget::text(t);
        }
    }
    // The list first (as Qt's own combo box has it), then the text field of an editable box.
    int childCount() const override { return box()->lineEdit() ? 2 : 1; }
    QAccessibleInterface* child(int index) const override {
        if (index == 0) return QAccessible::queryAccessibleInterface(box()->view());
        if (index == 1 && box()->lineEdit()) return QAccessible::queryAccessibleInterface(box()->lineEdit());
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child) return -1;
        if (child->object() == box()->view()) return 0;
        if (box()->lineEdit() && child->object() == box()->lineEdit()) return 1;
        return -1;
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = box()->listOpen();
        s.editable = box()->isEditable();
        return s;
    }
    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    QString localizedActionDescription(const QString&) const override { return QStringLiteral("Open the list"); }
    void doAction(const QString& name) override {
        if (name == showMenuAction() || name == pressAction()) box()->showPopup();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {QStringLiteral("Alt+Down")}; }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(int start, int end) const override { return box()->currentText().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(box()->currentText().size()); }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }
};

QAccessibleInterface* accessibleFor(const QString&, QObject* object) {
    if (auto* box = qobject_cast<PickList*>(object)) return new PickListAccessible(box);
    return nullptr;
}

}  // namespace

void installAccessibleFactories() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(accessibleFor);
}

}  // namespace gb::qt
