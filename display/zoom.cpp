// SPDX-License-Identifier: GPL-3.0-or-later
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
    assignInt16(page.shownHeight, page.shownHeight * factor);
    assignInt16(page.shownWidth, page.shownWidth * factor);
    page.shownScale = page.shownScale.scaledBy(factor);
    page.pagePrefix = lineBreakPrefix(static_cast<float>(WebBrwI.height()) - static_cast<float>(page.shownHeight));
    rewritePage(page.shownWidth, page.shownHeight);
    slideshow.pause();
    Tastiera.setFocus();
    writeBottomBar(page.shownScale);
}

void Form1::menuSNormale_Click() {
    if (menuHelpRegole.checked()) return;
    if (!menuFit.checked()) {
        page.shownHeight = page.naturalHeight;
        page.shownWidth = page.naturalWidth;
    }
    if (menuFit.checked()) {
        page.shownHeight = page.fitHeight;
        page.shownWidth = page.fitWidth;
        page.shownScale = page.fitScale;
    }
    page.pagePrefix = lineBreakPrefix(static_cast<float>(WebBrwI.height()) - static_cast<float>(page.shownHeight));
    rewritePage(page.shownWidth, page.shownHeight);
    Tastiera.setFocus();
    writeBottomBar(page.fitScale);
}

}  // namespace gb
