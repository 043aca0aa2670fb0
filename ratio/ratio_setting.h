// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The width/height correction in force: the factor applied to widths, the ratio in hundredths it comes from, and
// the guard that keeps a mark set from code from applying itself again.

#include "app/numbers.h"

namespace gb {

struct RatioSetting {
    double factor = 0;
    Int16 hundredths = 0;
    Int16 guard = 0;  // -1 while the panel's marks are being set from code
};

}  // namespace gb
