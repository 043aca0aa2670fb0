// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdio>

#include "app/form1.h"
#include "app/texts.h"

namespace gb {

void Form1::rewritePage(const std::optional<std::string>& markup) {
    if (markup && HDocBrwI != nullptr) HDocBrwI->setActiveElementInnerHTML(*markup);
}

void Form1::writeBottomBar(const Scale& scale) {
    const std::string& path = queue.onShow();
    const auto nameLength = static_cast<long long>(path.size()) - static_cast<long long>(choice.folderPath.size()) - 1;
    if (nameLength < 0) return;
    const std::string name = path.substr(path.size() - static_cast<std::size_t>(nameLength));
    char number[64];
    std::snprintf(number, sizeof number, "%.2f", scale.value());
    BarGiu.setText("  " + Slab(1).caption() + "  " + Slab(2).caption() + "  " + name + "  (" +
                   std::to_string(page.naturalWidth()) + "x" + std::to_string(page.naturalHeight()) + " " + number +
                   "%)" + "     " + Slab(3).caption());
}

void Form1::WebBrwI_DocumentComplete(const std::string& url) {
    if (url == platform::aboutBlank) return;
    if (HDocBrwI->images().empty()) {
        // The page already says why the file cannot be shown; zoom and ratio changes leave it alone.
        page.showNothing();
        Tastiera.setFocus();
        preloadAround();
        return;
    }
    page.load(HDocBrwI->activeElementInnerHTML(), HDocBrwI->images().front().width, HDocBrwI->images().front().height);
    Tastiera.setFocus();
    if (menuFit.checked()) ShowImage();
    if (!menuFit.checked()) {
        rewritePage(page.show(ratio.factor()));
        preloadAround();
    }
}

FitArea Form1::fitArea() const { return page.fitArea(ratio.factor(), menuFitG.checked(), menuFitP.checked()); }

void Form1::ShowImage() {
    page.clearFit();
    if (!menuFit.checked()) return;
    const auto markup = page.fit(fitArea(), WebBrwI.height());
    HDocBrwI->setBgColor("#0000c0");
    rewritePage(markup);
    writeBottomBar(page.fitScale());
    preloadAround();
}

}  // namespace gb
