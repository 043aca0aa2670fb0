// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdio>

#include "app/form1.h"

namespace gb {

// The image tag as the browser built it, with the drawn size appended; false (nothing written) without a tag.
bool Form1::rewritePage(int width, int height) {
    if (page.imageTag.empty() || HDocBrwI == nullptr) return false;
    HDocBrwI->setActiveElementInnerHTML(page.pagePrefix + page.imageTag.substr(0, page.imageTag.size() - 1) + "WIDTH=" +
                                        std::to_string(width) + " HEIGHT=" + std::to_string(height) + "></center>");
    return true;
}

void Form1::writeBottomBar(const Scale& scale) {
    const auto nameLength =
        static_cast<long long>(queue.onShow().size()) - static_cast<long long>(choice.folderPath.size()) - 1;
    if (nameLength < 0) return;
    const std::string name = queue.onShow().substr(queue.onShow().size() - static_cast<std::size_t>(nameLength));
    char number[64];
    std::snprintf(number, sizeof number, "%.2f", scale.value());
    BarGiu.setText("  " + Slab(1).caption() + "  " + Slab(2).caption() + "  " + name + "  (" +
                   std::to_string(page.naturalWidth) + "x" + std::to_string(page.naturalHeight) + " " + number + "%)" +
                   "     " + Slab(3).caption());
}

void Form1::WebBrwI_DocumentComplete(const std::string& url) {
    if (url == "about:blank") return;
    page.imageTag = HDocBrwI->activeElementInnerHTML();
    if (HDocBrwI->images().empty()) {
        // The page already says why the file cannot be shown. Nothing of the previous image carries over, so
        // zoom and ratio changes leave this page alone.
        page.imageTag.clear();
        page.naturalWidth = page.naturalHeight = page.shownWidth = page.shownHeight = 0;
        Tastiera.setFocus();
        preloadAround();
        return;
    }
    const auto [w, h] = withinSixteenBits(HDocBrwI->images().front().width, HDocBrwI->images().front().height);
    assignInt16(page.naturalHeight, h);
    assignInt16(page.naturalWidth, w);
    assignInt16(page.shownHeight, h);
    assignInt16(page.shownWidth, w);
    // A 16-bit difference, as the browser height and the image height are.
    if (const auto diff = toInt16(static_cast<double>(page.browserHeight) - page.shownHeight))
        page.pagePrefix = lineBreakPrefix(static_cast<float>(*diff));
    Tastiera.setFocus();
    if (menuFit.checked()) ShowImage();
    if (!menuFit.checked()) {
        assignInt16(page.shownWidth, page.shownWidth * ratio.factor);
        rewritePage(page.shownWidth, page.shownHeight);
        preloadAround();
    }
}

FitArea Form1::fitArea() const {
    return {page.areaWidth, page.areaHeight, ratio.factor, menuFitG.checked(), menuFitP.checked()};
}

void Form1::ShowImage() {
    page.fitScale = Scale::integer(1);
    if (!menuFit.checked()) return;
    const Fit fit = fitPicture(fitArea(), page.naturalWidth, page.naturalHeight, page.fitWidth, page.fitHeight);
    page.fitScale = fit.scale;
    page.fitWidth = fit.width;
    page.fitHeight = fit.height;
    page.pagePrefix = lineBreakPrefix(static_cast<float>(WebBrwI.height()) - static_cast<float>(page.fitHeight));
    HDocBrwI->setBgColor("#0000c0");
    page.shownScale = page.fitScale;
    rewritePage(page.fitWidth, page.fitHeight);
    page.shownHeight = page.fitHeight;
    page.shownWidth = page.fitWidth;
    writeBottomBar(page.fitScale);
    preloadAround();
}

}  // namespace gb
