// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The image page: the screen and the area a picture may take, the picture's natural, fitted and drawn sizes with
// their scales, and the markup that draws it. Only this class writes them; each change of the drawn size returns
// the page's new markup, or nothing while no picture is on the page (a page that says why its file cannot be
// shown is left alone).

#include <cstdint>
#include <optional>
#include <string>

#include "app/numbers.h"
#include "display/scale.h"
#include "display/sizing.h"

namespace gb {

class ImagePage {
public:
    // ---- Where pictures go. The screen in twips: wider than 16 bits, so that large screens fit.
    void setScreen(std::int64_t widthTwips, std::int64_t heightTwips);
    std::int64_t screenWidth() const { return screenWidth_; }
    std::int64_t screenHeight() const { return screenHeight_; }
    // What a fitted picture may take, and the image browser's height; each value outside 16 bits keeps the one
    // before.
    void setArea(int width, int height);
    void setBrowserHeight(int height);
    FitArea fitArea(double ratioFactor, bool reduceLarger, bool increaseSmaller) const;

    // ---- The picture.
    bool hasPicture() const { return !imageTag_.empty(); }
    Int16 naturalWidth() const { return naturalWidth_; }
    Int16 naturalHeight() const { return naturalHeight_; }
    Int16 fitWidth() const { return fitWidth_; }
    Int16 fitHeight() const { return fitHeight_; }
    Int16 shownWidth() const { return shownWidth_; }
    Int16 shownHeight() const { return shownHeight_; }
    const Scale& fitScale() const { return fitScale_; }
    const Scale& shownScale() const { return shownScale_; }

    // The page says why its file cannot be shown: nothing of the picture before carries over.
    void showNothing();
    // The picture the browser loaded: its tag as the browser built it and its natural size, shown at that size.
    void load(std::string imageTag, double width, double height);
    // Normal mode: the width corrected by the ratio factor.
    std::optional<std::string> show(double ratioFactor);
    // Full screen: the picture fitted to the area and centred in a browser `browserHeight` pixels high.
    std::optional<std::string> fit(const FitArea& area, int browserHeight);
    // Outside full screen the fit's scale reads 1.
    void clearFit() { fitScale_ = Scale::integer(1); }
    // One zoom step: each dimension grows from its own rounded value, so steps accumulate; a dimension that would
    // leave the 16-bit range stays as it is.
    std::optional<std::string> zoom(double factor, int browserHeight);
    // Back to the natural size (normal mode) or to the fit (full screen).
    std::optional<std::string> reset(bool fullScreen, int browserHeight);
    // Another ratio factor: from the width on show, so zoom steps already made stay in effect.
    std::optional<std::string> applyRatio(double oldFactor, double newFactor);

    // The picture's markup while the instructions stand in its place.
    void keepMarkup(std::string markup) { keptMarkup_ = std::move(markup); }
    std::string takeKeptMarkup();

private:
    // The tag with the drawn size appended, after the line breaks and the centring.
    std::optional<std::string> markup(int width, int height) const;
    void centreIn(int browserHeight, Int16 pictureHeight);

    std::int64_t screenHeight_ = 0, screenWidth_ = 0;
    Int16 areaHeight_ = 0, areaWidth_ = 0;
    Int16 browserHeight_ = 0;
    std::string imageTag_;  // without its size; empty while no picture is on the page
    Int16 naturalHeight_ = 0, naturalWidth_ = 0;
    Int16 fitHeight_ = 0, fitWidth_ = 0;
    Int16 shownHeight_ = 0, shownWidth_ = 0;
    Scale fitScale_, shownScale_;
    std::string prefix_;  // the line breaks and centring before the tag
    std::string keptMarkup_;
};

}  // namespace gb
