// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The size a picture is decoded at to make its thumbnail, read by the decoder helper from the picture's header.

#include <QSize>

namespace gb::qt {

// The longest sides of the shared cache's normal and large thumbnails.
inline constexpr int thumbnailNormalSide = 128;
inline constexpr int thumbnailLargeSide = 256;

// A picture of size `natural` whose thumbnail is drawn at `drawn`: the normal thumbnail, or the large one when
// the JPEG scale that covers a normal one holds a large one too (at no further cost) or the drawing is larger
// than a normal one; the picture's own size when it is smaller. `drawn` itself when `natural` is unknown.
QSize thumbnailKeptSize(QSize natural, QSize drawn);

}  // namespace gb::qt
