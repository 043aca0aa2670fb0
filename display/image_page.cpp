// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/image_page.h"

#include <utility>

namespace gb {

void ImagePage::setScreen(std::int64_t widthTwips, std::int64_t heightTwips) {
    screenWidth_ = widthTwips;
    screenHeight_ = heightTwips;
}

void ImagePage::setArea(int width, int height) {
    assignInt16(areaHeight_, height);
    assignInt16(areaWidth_, width);
}

void ImagePage::setBrowserHeight(int height) { assignInt16(browserHeight_, height); }

FitArea ImagePage::fitArea(double ratioFactor, bool reduceLarger, bool increaseSmaller) const {
    return {areaWidth_, areaHeight_, ratioFactor, reduceLarger, increaseSmaller};
}

void ImagePage::showNothing() {
    imageTag_.clear();
    naturalWidth_ = naturalHeight_ = shownWidth_ = shownHeight_ = 0;
}

void ImagePage::load(std::string imageTag, double width, double height) {
    imageTag_ = std::move(imageTag);
    const auto [w, h] = withinSixteenBits(width, height);
    assignInt16(naturalHeight_, h);
    assignInt16(naturalWidth_, w);
    assignInt16(shownHeight_, h);
    assignInt16(shownWidth_, w);
    // A 16-bit difference, as the browser height and the picture's height are.
    if (const auto diff = toInt16(static_cast<double>(browserHeight_) - shownHeight_))
        prefix_ = lineBreakPrefix(static_cast<float>(*diff));
}

std::optional<std::string> ImagePage::show(double ratioFactor) {
    assignInt16(shownWidth_, shownWidth_ * ratioFactor);
    return markup(shownWidth_, shownHeight_);
}

std::optional<std::string> ImagePage::fit(const FitArea& area, int browserHeight) {
    const Fit fitted = fitPicture(area, naturalWidth_, naturalHeight_, fitWidth_, fitHeight_);
    fitScale_ = shownScale_ = fitted.scale;
    fitWidth_ = shownWidth_ = fitted.width;
    fitHeight_ = shownHeight_ = fitted.height;
    centreIn(browserHeight, fitHeight_);
    return markup(fitWidth_, fitHeight_);
}

std::optional<std::string> ImagePage::zoom(double factor, int browserHeight) {
    assignInt16(shownHeight_, shownHeight_ * factor);
    assignInt16(shownWidth_, shownWidth_ * factor);
    shownScale_ = shownScale_.scaledBy(factor);
    centreIn(browserHeight, shownHeight_);
    return markup(shownWidth_, shownHeight_);
}

std::optional<std::string> ImagePage::reset(bool fullScreen, int browserHeight) {
    if (fullScreen) {
        shownHeight_ = fitHeight_;
        shownWidth_ = fitWidth_;
        shownScale_ = fitScale_;
    } else {
        shownHeight_ = naturalHeight_;
        shownWidth_ = naturalWidth_;
    }
    centreIn(browserHeight, shownHeight_);
    return markup(shownWidth_, shownHeight_);
}

std::optional<std::string> ImagePage::applyRatio(double oldFactor, double newFactor) {
    assignInt16(shownWidth_, shownWidth_ / oldFactor * newFactor);
    return markup(shownWidth_, shownHeight_);
}

std::string ImagePage::takeKeptMarkup() { return std::exchange(keptMarkup_, std::string()); }

std::optional<std::string> ImagePage::markup(int width, int height) const {
    if (imageTag_.empty()) return std::nullopt;
    return prefix_ + imageTag_.substr(0, imageTag_.size() - 1) + "WIDTH=" + std::to_string(width) +
           " HEIGHT=" + std::to_string(height) + "></center>";
}

void ImagePage::centreIn(int browserHeight, Int16 pictureHeight) {
    prefix_ = lineBreakPrefix(static_cast<float>(browserHeight) - static_cast<float>(pictureHeight));
}

}  // namespace gb
