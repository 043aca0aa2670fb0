#include <cstdio>

#include "app/form1.h"

namespace gb {

// The image tag as the browser built it, with the drawn size appended; false (nothing written) without a tag.
bool Form1::rewritePage(int width, int height) {
    if (imageTag.empty() || HDocBrwI == nullptr) return false;
    HDocBrwI->setActiveElementInnerHTML(pagePrefix + imageTag.substr(0, imageTag.size() - 1) + "WIDTH=" +
                                        std::to_string(width) + " HEIGHT=" + std::to_string(height) + "></center>");
    return true;
}

void Form1::writeBottomBar(const Scale& scale) {
    const auto nameLength =
        static_cast<long long>(DoveShow.text().size()) - static_cast<long long>(folderPath.size()) - 1;
    if (nameLength < 0) return;
    const std::string name = DoveShow.text().substr(DoveShow.text().size() - static_cast<std::size_t>(nameLength));
    char number[64];
    std::snprintf(number, sizeof number, "%.2f", scale.value());
    BarGiu.setText("  " + Slab(1).caption() + "  " + Slab(2).caption() + "  " + name + "  (" +
                   std::to_string(naturalWidth) + "x" + std::to_string(naturalHeight) + " " + number + "%)" + "     " +
                   Slab(3).caption());
}

void Form1::WebBrwI_DocumentComplete(const std::string& url) {
    if (url == "about:blank") return;
    imageTag = HDocBrwI->activeElementInnerHTML();
    if (HDocBrwI->images().empty()) {
        // The page already says why the file cannot be shown. Nothing of the previous image carries over, so
        // zoom and ratio changes leave this page alone.
        imageTag.clear();
        naturalWidth = naturalHeight = shownWidth = shownHeight = 0;
        Tastiera.setFocus();
        preloadAround();
        return;
    }
    const auto [w, h] = withinSixteenBits(HDocBrwI->images().front().width, HDocBrwI->images().front().height);
    assignInt16(naturalHeight, h);
    assignInt16(naturalWidth, w);
    assignInt16(shownHeight, h);
    assignInt16(shownWidth, w);
    // A 16-bit difference, as the browser height and the image height are.
    if (const auto diff = toInt16(static_cast<double>(browserHeight) - shownHeight))
        pagePrefix = lineBreakPrefix(static_cast<float>(*diff));
    Tastiera.setFocus();
    if (menuFit.checked()) ShowImage();
    if (!menuFit.checked()) {
        assignInt16(shownWidth, shownWidth * ratioFactor);
        rewritePage(shownWidth, shownHeight);
        preloadAround();
    }
}

FitArea Form1::fitArea() const { return {areaWidth, areaHeight, ratioFactor, menuFitG.checked(), menuFitP.checked()}; }

void Form1::ShowImage() {
    fitScale = Scale::integer(1);
    if (!menuFit.checked()) return;
    const Fit fit = fitPicture(fitArea(), naturalWidth, naturalHeight, fitWidth, fitHeight);
    fitScale = fit.scale;
    fitWidth = fit.width;
    fitHeight = fit.height;
    pagePrefix = lineBreakPrefix(static_cast<float>(WebBrwI.height()) - static_cast<float>(fitHeight));
    HDocBrwI->setBgColor("#0000c0");
    shownScale = fitScale;
    rewritePage(fitWidth, fitHeight);
    shownHeight = fitHeight;
    shownWidth = fitWidth;
    writeBottomBar(fitScale);
    preloadAround();
}

}  // namespace gb
