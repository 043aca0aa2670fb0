// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Numeric rules of the viewer: sizes and counters are 16-bit, roundings go half to even, and a value that does
// not fit its variable leaves the variable unchanged (the step that produced it is skipped).

#include <cstdint>
#include <optional>

namespace gb {

using Int16 = std::int16_t;

// Nearest integer, ties to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double roundHalfEven(double value);

// Rounded half to even; nothing when NaN, infinite or outside the 16-bit / 32-bit range.
std::optional<Int16> toInt16(double value);
std::optional<std::int32_t> toInt32(double value);

// Stores the rounded value and returns true when it fits; otherwise leaves target as it was.
bool assignInt16(Int16& target, double value);
bool assignInt32(std::int32_t& target, double value);

}  // namespace gb
