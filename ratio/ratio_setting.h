// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The width/height correction in force: the factor applied to widths, the ratio in hundredths it comes from, and
// whether the panel's marks are being set from code (the clicks that raises are turned away).

#include "app/numbers.h"

namespace gb {

class RatioSetting {
public:
    // The width factor of a ratio in hundredths.
    static double factorOf(int hundredths);

    double factor() const { return factor_; }
    // No correction: the state the window starts in.
    void reset() { factor_ = 1.0; }
    // The ratio chosen, in hundredths; it takes effect with apply().
    void choose(Int16 hundredths) { hundredths_ = hundredths; }
    // The factor of the ratio chosen takes over, and the marks are the user's again; returns the factor before.
    double apply();

    bool settingMarks() const { return marks_ == Marks::SetFromCode; }
    void beginSettingMarks() { marks_ = Marks::SetFromCode; }

private:
    enum class Marks { User, SetFromCode };
    double factor_ = 0;
    Int16 hundredths_ = 0;
    Marks marks_ = Marks::User;
};

}  // namespace gb
