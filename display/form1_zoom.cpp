// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"

namespace gb {

namespace {
constexpr double enlargeFactor = 1.1;
constexpr double reduceFactor = 0.9;
}  // namespace

void Form1::menuSPiu_Click() { zoomBy(enlargeFactor); }
void Form1::menuSMeno_Click() { zoomBy(reduceFactor); }

void Form1::zoomBy(double factor) {
    if (menuHelpRegole.checked()) return;
    rewritePage(page.zoom(factor, WebBrwI.height()));
    slideshow.pause();
    Tastiera.setFocus();
    writeBottomBar(page.shownScale());
}

void Form1::menuSNormale_Click() {
    if (menuHelpRegole.checked()) return;
    rewritePage(page.reset(menuFit.checked(), WebBrwI.height()));
    Tastiera.setFocus();
    writeBottomBar(page.fitScale());
}

}  // namespace gb
