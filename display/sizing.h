// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The arithmetic of the image page: the 16-bit rule for natural sizes, the fit of the full-screen mode and the
// line breaks that centre a picture vertically. Pure functions of their arguments.

#include <string>
#include <utility>

#include "app/numbers.h"
#include "display/scale.h"

namespace gb {

// A natural size as the 16-bit size variables take it: a larger image keeps its proportions inside 32767.
std::pair<double, double> withinSixteenBits(double width, double height);

// The line breaks above a picture `heightDifference` pixels lower than the browser, then the centring tag.
std::string lineBreakPrefix(float heightDifference);

struct FitArea {
    Int16 width = 0, height = 0;   // the screen area a fitted picture may take
    double ratioFactor = 1.0;      // the width/height correction
    bool reduceLarger = true;      // "Reduce larger images"
    bool increaseSmaller = false;  // "Increase smaller images"
};

struct Fit {
    Scale scale;
    Int16 width = 0, height = 0;
};

// The full-screen scale and drawn size of a picture of the given natural size; a size that does not fit 16 bits
// keeps the kept one.
Fit fitPicture(const FitArea& area, Int16 width, Int16 height, Int16 keptWidth, Int16 keptHeight);

}  // namespace gb
