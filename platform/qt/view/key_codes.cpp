// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/view/key_codes.h"

#include "platform/keys.h"

namespace gb::qt {

int virtualKeyCode(int key, Qt::KeyboardModifiers modifiers) {
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return keypad ? 96 + (key - Qt::Key_0) : 48 + (key - Qt::Key_0);
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return 65 + (key - Qt::Key_A);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return 112 + (key - Qt::Key_F1);
    // Shifted digits arrive as their symbols; they are still the digit keys.
    static constexpr struct {
        int key;
        int code;
    } shiftedDigits[] = {{Qt::Key_ParenRight, 48},  {Qt::Key_Exclam, 49},    {Qt::Key_At, 50},
                         {Qt::Key_NumberSign, 51},  {Qt::Key_Dollar, 52},    {Qt::Key_Percent, 53},
                         {Qt::Key_AsciiCircum, 54}, {Qt::Key_Ampersand, 55}, {Qt::Key_Asterisk, 56},
                         {Qt::Key_ParenLeft, 57}};
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter: return keys::enter;
        case Qt::Key_Backspace: return keys::backspace;
        case Qt::Key_Tab: return 9;
        case Qt::Key_Escape: return keys::escape;
        case Qt::Key_Space: return 32;
        case Qt::Key_Left: return 37;
        case Qt::Key_Up: return 38;
        case Qt::Key_Right: return 39;
        case Qt::Key_Down: return 40;
        case Qt::Key_Delete: return 46;
        case Qt::Key_Plus: return keypad ? keys::keypadPlus : keys::plus;
        case Qt::Key_Minus: return keypad ? keys::keypadMinus : keys::minus;
        case Qt::Key_Equal: return keys::plus;
        case Qt::Key_Underscore: return keys::minus;
        case Qt::Key_Asterisk:
            if (keypad) return 106;
            break;
        case Qt::Key_Slash: return keypad ? 111 : 191;
        default: break;
    }
    if (!keypad)
        for (const auto& d : shiftedDigits)
            if (d.key == key) return d.code;
    return 0;
}

int shiftState(Qt::KeyboardModifiers modifiers) {
    int s = 0;
    if (modifiers.testFlag(Qt::ShiftModifier)) s |= 1;
    if (modifiers.testFlag(Qt::ControlModifier)) s |= 2;
    if (modifiers.testFlag(Qt::AltModifier)) s |= 4;
    return s;
}

}  // namespace gb::qt
