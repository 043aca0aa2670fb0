// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A combo box that raises its pick only when the user chooses an entry from its open list (a click, or Enter on
// the list opened with Alt+Down or F4). Enter, arrows, the wheel, typing and focus changes on the closed box
// raise nothing: the window's key handler owns those keys.

#include <QComboBox>

class QAccessibleInterface;

namespace gb::qt {

class PickList : public QComboBox {
    Q_OBJECT
public:
    explicit PickList(QWidget* parent);
    void showPopup() override;
    void hidePopup() override;
    bool listOpen() const { return listOpen_; }

signals:
    void picked(int index);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    bool listOpen_ = false;
};

// Screen readers announce a PickList by its accessible name, its current text as its value; Qt's own combo box
// interface on Linux gives its text as the name. Installed once by installAccessibleFactories().
void installAccessibleFactories();

}  // namespace gb::qt
