// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The image page's sizes: the screen and the area a picture may take, the picture's natural, fitted and drawn
// sizes with their scales, and the markup that draws it. Written by the page's procedures (display/), read by
// the zoom, the ratio correction, the preloads and the help page that stands in for it.

#include <cstdint>
#include <string>

#include "app/numbers.h"
#include "display/scale.h"

namespace gb {

struct ImagePage {
    // The screen in twips: wider than 16 bits, so that large screens fit.
    std::int64_t screenHeight = 0, screenWidth = 0;
    Int16 areaHeight = 0, areaWidth = 0;  // what a fitted picture may take
    Int16 browserHeight = 0;
    std::string imageTag;  // the picture's tag without its size, empty while no picture is on the page
    Int16 naturalHeight = 0, naturalWidth = 0;
    Int16 fitHeight = 0, fitWidth = 0;
    Int16 shownHeight = 0, shownWidth = 0;
    Scale fitScale, shownScale;
    std::string pagePrefix;      // the line breaks and centring before the tag
    std::string savedImagePage;  // the picture's markup while the instructions stand in its place
};

}  // namespace gb
