// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The screen ratios offered on the ratio panel, in the order of its check boxes.

#include "app/numbers.h"

namespace gb {

struct RatioPreset {
    Int16 hundredths;
    const char* text;
};
inline constexpr RatioPreset ratioPresets[7] = {{125, "1.25"}, {133, "1.33"}, {142, "1.42"}, {160, "1.60"},
                                                {167, "1.67"}, {177, "1.77"}, {178, "1.78"}};

}  // namespace gb
