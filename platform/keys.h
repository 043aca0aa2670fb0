// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The virtual-key codes the logic reacts to, as the view delivers them (platform/qt/view/key_codes.cpp).

namespace gb::keys {

inline constexpr int backspace = 8;
inline constexpr int enter = 13;
inline constexpr int escape = 27;
inline constexpr int digit0 = 48;
inline constexpr int letterA = 65;
inline constexpr int letterQ = 81;
inline constexpr int letterZ = 90;
inline constexpr int keypadPlus = 107;
inline constexpr int keypadMinus = 109;
// The + (or =) and - keys beside the digits.
inline constexpr int plus = 187;
inline constexpr int minus = 189;

}  // namespace gb::keys
