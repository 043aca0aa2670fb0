// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/image/thumbnail_size.h"

#include <algorithm>

namespace gb::qt {

QSize thumbnailKeptSize(QSize natural, QSize drawn) {
    if (!natural.isValid() || natural.isEmpty()) return drawn.expandedTo({1, 1});
    const auto fit = [&](int side) {
        return natural.width() <= side && natural.height() <= side ? natural
                                                                   : natural.scaled(side, side, Qt::KeepAspectRatio);
    };
    // JPEGs decode at 1/8, 1/4 or 1/2 of their size for the cost of that size, the smallest that covers a normal
    // thumbnail: when that scale holds a large thumbnail too, one is made and kept as well. A large one for every
    // picture would cost four times the pixels at the first sight of a folder (1,000 photos of 1600 x 1200: 111
    // thumbnails a second against 221). A screen of three device pixels to the pixel or more draws thumbnails
    // larger than a normal one: those are decoded at the large size.
    const QSize normal = fit(thumbnailNormalSide);
    int scale = 8;
    while (scale > 1 && (natural.width() / scale < normal.width() || natural.height() / scale < normal.height()))
        scale /= 2;
    const bool largeToo = std::max(natural.width(), natural.height()) / scale >= thumbnailLargeSide ||
                          std::max(drawn.width(), drawn.height()) > thumbnailNormalSide;
    return fit(largeToo ? thumbnailLargeSide : thumbnailNormalSide).expandedTo({1, 1});
}

}  // namespace gb::qt
