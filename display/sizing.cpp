// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/sizing.h"

#include <algorithm>
#include <cmath>

namespace gb {

std::pair<double, double> withinSixteenBits(double w, double h) {
    constexpr double maxSize = 32767;
    if (w > maxSize || h > maxSize) {
        const double fit = std::min(maxSize / w, maxSize / h);
        w = std::clamp(std::round(w * fit), 1.0, maxSize);
        h = std::clamp(std::round(h * fit), 1.0, maxSize);
    }
    return {w, h};
}

std::string lineBreakPrefix(float heightDifference) {
    const float x = heightDifference / 50.0f;
    std::string prefix;
    for (int i = 1; static_cast<float>(i) <= x; ++i) prefix += "<br>";
    return prefix + "<center>";
}

Fit fitPicture(const FitArea& area, Int16 width, Int16 height, Int16 keptWidth, Int16 keptHeight) {
    Fit fit{Scale::integer(1), keptWidth, keptHeight};
    const double ratioWidth = width * area.ratioFactor;
    // Each size is taken in the precision of the scale and stored on its own; one that does not fit stays.
    const auto fitSizes = [&] {
        assignInt16(fit.height, fit.scale.times(height));
        assignInt16(fit.width, fit.scale.times(width) * area.ratioFactor);
    };
    if (area.reduceLarger) {
        float heightScale = 1.0f;
        if (area.height < height && height != 0)
            heightScale = static_cast<float>(area.height) / static_cast<float>(height);
        double widthScale = 1.0;
        if (ratioWidth > area.width && ratioWidth != 0) widthScale = area.width / ratioWidth;
        fit.scale = Scale::single(heightScale);
        if (static_cast<double>(heightScale) > widthScale) fit.scale = Scale::dbl(widthScale);
        fitSizes();
    }
    if (area.increaseSmaller && fit.scale.value() == 1.0) {
        float heightScale = 1.0f;
        if (area.height > height && height > 0)
            heightScale = static_cast<float>(area.height) / static_cast<float>(height);
        double widthScale = 1.0;
        if (ratioWidth < area.width && ratioWidth > 0) widthScale = area.width / ratioWidth;
        fit.scale = Scale::single(heightScale);
        if (widthScale < static_cast<double>(heightScale)) fit.scale = Scale::dbl(widthScale);
        fitSizes();
    }
    return fit;
}

}  // namespace gb
