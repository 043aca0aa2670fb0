// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading a width/height ratio typed by the user.

#include <optional>
#include <string>

namespace gb {

// The ratio in hundredths ("1.78" -> 178, "1,5" -> 150, "2" -> 200), rounded half to even past two decimals;
// nothing unless the text is a plain decimal number giving 1 to 32767 hundredths.
std::optional<int> readRatioHundredths(const std::string& text);

}  // namespace gb
