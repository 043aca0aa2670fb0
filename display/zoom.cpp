#include "app/form1.h"

namespace gb {

namespace {
constexpr double enlargeFactor = 1.1;
constexpr double reduceFactor = 0.9;
}  // namespace

void Form1::menuSPiu_Click() { zoomBy(enlargeFactor); }
void Form1::menuSMeno_Click() { zoomBy(reduceFactor); }

// Each dimension grows from its own rounded value, so steps accumulate; a dimension that would leave the
// 16-bit range stays as it is.
void Form1::zoomBy(double factor) {
    if (menuHelpRegole.checked()) return;
    assignInt16(shownHeight, shownHeight * factor);
    assignInt16(shownWidth, shownWidth * factor);
    shownScale = shownScale.scaledBy(factor);
    pagePrefix = lineBreakPrefix(static_cast<float>(WebBrwI.height()) - static_cast<float>(shownHeight));
    rewritePage(shownWidth, shownHeight);
    slideshow.pause();
    Tastiera.setFocus();
    writeBottomBar(shownScale);
}

void Form1::menuSNormale_Click() {
    if (menuHelpRegole.checked()) return;
    if (!menuFit.checked()) {
        shownHeight = naturalHeight;
        shownWidth = naturalWidth;
    }
    if (menuFit.checked()) {
        shownHeight = fitHeight;
        shownWidth = fitWidth;
        shownScale = fitScale;
    }
    pagePrefix = lineBreakPrefix(static_cast<float>(WebBrwI.height()) - static_cast<float>(shownHeight));
    rewritePage(shownWidth, shownHeight);
    Tastiera.setFocus();
    writeBottomBar(fitScale);
}

}  // namespace gb
