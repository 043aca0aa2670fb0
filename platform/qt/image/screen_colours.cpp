// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/image/screen_colours.h"

#include <QColorSpace>
#include <QImage>

namespace gb::qt {

void toScreenColours(QImage& image) {
    const QColorSpace space = image.colorSpace();
    if (image.isNull() || !space.isValid() || space == QColorSpace(QColorSpace::SRgb)) return;
    // A grey picture's profile is a grey one: there is no colour to correct.
    if (image.isGrayscale() && image.colorCount() == 0) return;
    image.convertToColorSpace(QColorSpace::SRgb);
}

}  // namespace gb::qt
