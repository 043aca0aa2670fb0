// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/placement.h"

#include <algorithm>

namespace gb {

void placeImageBrowser(platform::Browser& image, platform::Browser& thumbs, bool thumbsOn, int clientWidth) {
    thumbs.setVisible(thumbsOn);
    const int left = thumbsOn ? thumbs.width() + 4 : 4;
    image.setLeft(left);
    image.setWidth(std::max(0, clientWidth - 4 - left));
}

}  // namespace gb
