// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Qt keys as the virtual-key codes the logic works with.

#include <Qt>

namespace gb::qt {

// 0 for keys the logic has no code for.
int virtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers);

// Shift state bits as the logic receives them: 1 Shift, 2 Ctrl, 4 Alt.
int shiftState(Qt::KeyboardModifiers modifiers);

}  // namespace gb::qt
