// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the image browser stands in the window's normal layout: beside the thumbnail bar while the bar is on,
// across the window otherwise.

#include "platform/browser.h"

namespace gb {

// A client area narrower than the bars gives the browser no width rather than a negative one.
void placeImageBrowser(platform::Browser& image, platform::Browser& thumbs, bool thumbsOn, int clientWidth);

}  // namespace gb
