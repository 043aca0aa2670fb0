// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/view/binders.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "platform/browser.h"
#include "platform/qt/byte_paths.h"
#include "platform/qt/view/browser_view.h"
#include "platform/qt/view/pick_list.h"
#include "platform/qt/view/preview_box.h"

namespace gb::qt {

namespace {

using platform::Control;
using platform::ControlKind;

QColor colourOf(const platform::Rgb& c) { return QColor(c.r, c.g, c.b); }

// Holds the keyboard focus so that the window's key handler sees every key. Not a text field: screen readers
// do not announce an editable box, and no on-screen keyboard rises for it.
class FocusHolder : public QWidget {
public:
    explicit FocusHolder(QWidget* parent) : QWidget(parent) {
        setFocusPolicy(Qt::StrongFocus);
        setAttribute(Qt::WA_InputMethodEnabled, false);
    }
};

// ---- Label
QWidget* createLabel(Control&, QWidget* parent, ImageLoader&) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}
void applyLabel(Control& c, QWidget* w) {
    auto* label = static_cast<QLabel*>(w);
    const QString caption = toQString(static_cast<platform::Label&>(c).caption());
    if (label->text() != caption) label->setText(caption);
}

// ---- TextBox: a line edit, or the invisible holder of the keyboard focus.
QWidget* createTextBox(Control& c, QWidget* parent, ImageLoader&) {
    auto& model = static_cast<platform::TextBox&>(c);
    if (model.focusHolder) return new FocusHolder(parent);
    auto* edit = new QLineEdit(parent);
    edit->setReadOnly(model.locked);
    edit->setFrame(!model.locked);
    QObject::connect(edit, &QLineEdit::textEdited, edit,
                     [&model](const QString& t) { model.userType(toStdString(t)); });
    return edit;
}
void applyTextBox(Control& c, QWidget* w) {
    // A hidden box (the thumbnail page, the instructions) can hold megabytes: shown text only.
    auto* edit = qobject_cast<QLineEdit*>(w);
    if (!c.visible() || !edit) return;
    const QString text = toQString(static_cast<platform::TextBox&>(c).text());
    if (edit->text() != text) edit->setText(text);
}

// ---- ComboBox: its list follows the model's entry by entry.
QWidget* createComboBox(Control& c, QWidget* parent, ImageLoader&) {
    auto& model = static_cast<platform::ComboBox&>(c);
    auto* box = new PickList(parent);
    box->setEditable(model.editable());
    box->setInsertPolicy(QComboBox::NoInsert);
    // Completing typed text would pick entries the user never chose.
    if (model.editable()) box->setCompleter(nullptr);
    box->setMaxVisibleItems(20);
    for (const auto& item : model.listItems()) box->addItem(toQString(item));
    QObject::connect(box, &PickList::picked, box, [&model](int index) { model.userPick(index); });
    model.onListChanged = [&model, box](platform::ListChange change, int index) {
        const QSignalBlocker block(box);
        switch (change) {
            case platform::ListChange::Inserted: box->insertItem(index, toQString(model.listItem(index))); break;
            case platform::ListChange::Removed: box->removeItem(index); break;
            case platform::ListChange::Cleared: box->clear(); break;
        }
        // Inserting into an editable box may replace its text; the model's text stands.
        if (model.editable()) box->setEditText(toQString(model.text()));
    };
    return box;
}
void applyComboBox(Control& c, QWidget* w) {
    auto& model = static_cast<platform::ComboBox&>(c);
    auto* box = static_cast<QComboBox*>(w);
    const QSignalBlocker block(box);
    const QString text = toQString(model.text());
    if (model.editable()) {
        if (box->currentText() != text) box->setEditText(text);
    } else {
        box->setCurrentIndex(box->findText(text));
    }
}

// ---- ListBox
QWidget* createListBox(Control& c, QWidget* parent, ImageLoader&) {
    auto& model = static_cast<platform::ListBox&>(c);
    auto* list = new QListWidget(parent);
    for (const auto& item : model.listItems()) list->addItem(toQString(item));
    QObject::connect(list, &QListWidget::itemClicked, list,
                     [&model, list](QListWidgetItem* item) { model.userPick(list->row(item)); });
    model.onListChanged = [&model, list](platform::ListChange change, int index) {
        const QSignalBlocker block(list);
        switch (change) {
            case platform::ListChange::Inserted: list->insertItem(index, toQString(model.listItem(index))); break;
            case platform::ListChange::Removed: delete list->takeItem(index); break;
            case platform::ListChange::Cleared: list->clear(); break;
        }
        list->setCurrentRow(model.listIndex());
    };
    return list;
}
void applyListBox(Control& c, QWidget* w) {
    auto* list = static_cast<QListWidget*>(w);
    const QSignalBlocker block(list);
    list->setCurrentRow(static_cast<platform::ListBox&>(c).listIndex());
}

// ---- CheckBox: the model decides the value a click leaves.
QWidget* createCheckBox(Control& c, QWidget* parent, ImageLoader&) {
    auto& model = static_cast<platform::CheckBox&>(c);
    auto* box = new QCheckBox(parent);
    QObject::connect(box, &QCheckBox::clicked, box, [&model, box] {
        model.userClick();
        box->setChecked(model.value());
    });
    return box;
}
void applyCheckBox(Control& c, QWidget* w) {
    auto& model = static_cast<platform::CheckBox&>(c);
    auto* box = static_cast<QCheckBox*>(w);
    box->setText(toQString(model.caption()));
    box->setChecked(model.value());
}

// ---- Button
QWidget* createButton(Control& c, QWidget* parent, ImageLoader&) {
    auto& model = static_cast<platform::Button&>(c);
    auto* button = new QPushButton(parent);
    QObject::connect(button, &QPushButton::clicked, button, [&model] { model.userClick(); });
    return button;
}
void applyButton(Control& c, QWidget* w) {
    static_cast<QPushButton*>(w)->setText(toQString(static_cast<platform::Button&>(c).caption()));
}

// ---- Frame: a titled group, a line, or an opaque panel.
QWidget* createFrame(Control& c, QWidget* parent, ImageLoader&) {
    auto& model = static_cast<platform::Frame&>(c);
    if (!model.caption().empty()) return new QGroupBox(toQString(model.caption()), parent);
    auto* frame = new QFrame(parent);
    if (model.height() <= 2) frame->setFrameShape(QFrame::HLine);
    // Frames are opaque: FrameShow hides the text part of the combo box below it.
    frame->setAutoFillBackground(true);
    return frame;
}
void applyFrame(Control& c, QWidget* w) {
    if (auto* group = qobject_cast<QGroupBox*>(w))
        group->setTitle(toQString(static_cast<platform::Frame&>(c).caption()));
}

// ---- ImageBox
QWidget* createImageBox(Control&, QWidget* parent, ImageLoader& loader) { return new PreviewBox(loader, parent); }
void applyImageBox(Control& c, QWidget* w) {
    static_cast<PreviewBox*>(w)->showPicture(toQString(static_cast<platform::ImageBox&>(c).picturePath()));
}

// ---- Browser: the view follows its document by itself.
QWidget* createBrowser(Control& c, QWidget* parent, ImageLoader& loader) {
    return new BrowserView(static_cast<platform::Browser&>(c), loader, parent);
}
void applyBrowser(Control&, QWidget*) {}

}  // namespace

const Binder& binderFor(ControlKind kind) {
    static const Binder label{createLabel, applyLabel}, textBox{createTextBox, applyTextBox},
        comboBox{createComboBox, applyComboBox}, listBox{createListBox, applyListBox},
        checkBox{createCheckBox, applyCheckBox}, button{createButton, applyButton}, frame{createFrame, applyFrame},
        imageBox{createImageBox, applyImageBox}, browser{createBrowser, applyBrowser};
    switch (kind) {
        case ControlKind::Label: return label;
        case ControlKind::TextBox: return textBox;
        case ControlKind::ComboBox: return comboBox;
        case ControlKind::ListBox: return listBox;
        case ControlKind::CheckBox: return checkBox;
        case ControlKind::Button: return button;
        case ControlKind::Frame: return frame;
        case ControlKind::ImageBox: return imageBox;
        case ControlKind::Browser: return browser;
    }
    return label;
}

void applyDesign(const Control& c, QWidget* w) {
    w->setObjectName(toQString(c.name()));
    const platform::Appearance& a = c.appearance;
    QPalette p = w->palette();
    bool fill = false;
    if (a.background) {
        p.setColor(QPalette::Window, colourOf(*a.background));
        p.setColor(QPalette::Base, colourOf(*a.background));
        p.setColor(QPalette::Button, colourOf(*a.background));
        fill = true;
    } else if (a.systemBackground != platform::SystemColour::None) {
        const QColor sys = a.systemBackground == platform::SystemColour::ActiveBorder
                               ? QApplication::palette().color(QPalette::Midlight)
                               : QApplication::palette().color(QPalette::Button);
        p.setColor(QPalette::Window, sys);
        p.setColor(QPalette::Base, sys);
        fill = true;
    }
    if (a.foreground) {
        p.setColor(QPalette::WindowText, colourOf(*a.foreground));
        p.setColor(QPalette::Text, colourOf(*a.foreground));
        p.setColor(QPalette::ButtonText, colourOf(*a.foreground));
    }
    w->setPalette(p);
    if (fill) w->setAutoFillBackground(true);
    if (a.bold || a.pointSize > 0) {
        QFont f = w->font();
        if (a.bold) f.setBold(true);
        if (a.pointSize > 0) f.setPointSizeF(a.pointSize);
        w->setFont(f);
    }
    if (!c.toolTip.empty()) w->setToolTip(toQString(c.toolTip));
    if (!c.accessibleDescription.empty()) w->setAccessibleDescription(toQString(c.accessibleDescription));
    // A label reads out its caption; what it stands for is its description.
    if (!c.accessibleName.empty()) {
        if (c.kind() == ControlKind::Label) w->setAccessibleDescription(toQString(c.accessibleName));
        else w->setAccessibleName(toQString(c.accessibleName));
    }
}

}  // namespace gb::qt
