// SPDX-License-Identifier: GPL-3.0-or-later
#include "ratio/ratio_setting.h"

namespace gb {

namespace {
// The ratio the window was designed for: choosing it means no correction.
constexpr float referenceHundredths = 133.0f;
}  // namespace

double RatioSetting::factorOf(int hundredths) {
    return static_cast<double>(referenceHundredths / static_cast<float>(hundredths));
}

double RatioSetting::apply() {
    marks_ = Marks::User;
    const double old = factor_;
    factor_ = factorOf(hundredths_);
    return old;
}

}  // namespace gb
