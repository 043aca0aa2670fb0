// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/view/key_codes.h"

#include <gtest/gtest.h>

namespace gb::qt {
namespace {

TEST(VirtualKeyCodes, TheKeysTheViewerUsesGetTheirCodes) {
    const auto none = Qt::NoModifier;
    const auto pad = Qt::KeypadModifier;
    // clang-format off
    const struct {
        int key;
        Qt::KeyboardModifiers mods;
        int code;
    } cases[] = {
        {Qt::Key_Return, none, 13},      {Qt::Key_Enter, pad, 13},       {Qt::Key_Backspace, none, 8},
        {Qt::Key_Escape, none, 27},      {Qt::Key_0, none, 48},          {Qt::Key_0, pad, 96},
        {Qt::Key_ParenRight, Qt::ShiftModifier, 48},                     {Qt::Key_A, none, 65},
        {Qt::Key_A, Qt::ShiftModifier, 65}, {Qt::Key_A, Qt::ControlModifier, 65},
        {Qt::Key_Q, none, 81},           {Qt::Key_Z, none, 90},          {Qt::Key_Plus, pad, 107},
        {Qt::Key_Minus, pad, 109},       {Qt::Key_Equal, none, 187},     {Qt::Key_Plus, Qt::ShiftModifier, 187},
        {Qt::Key_Minus, none, 189},      {Qt::Key_Underscore, Qt::ShiftModifier, 189},
        {Qt::Key_F1, none, 112},         {Qt::Key_F3, none, 114},        {Qt::Key_Eacute, none, 0},
    };
    // clang-format on
    for (const auto& c : cases) EXPECT_EQ(virtualKeyCode(c.key, c.mods), c.code) << std::hex << c.key;
}

}  // namespace
}  // namespace gb::qt
