// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <limits>

#include "app/form1.h"
#include "display/placement.h"

namespace gb {

void Form1::menuFit_Click() {
    if (menuHelpRegole.checked()) return;
    menuFit.setChecked(!menuFit.checked());
    if (menuFit.checked()) {
        enterFullScreen();
    } else {
        leaveFullScreen();
    }
}

void Form1::leaveFullScreen() {
    window.move(0, 0);
    window.setWindowState(platform::WindowState::Maximized);
    WebBrwI.setTop(40);
    window.setVisible(false);
    placeImageBrowser(WebBrwI, WebBrwT, menuThumb.checked(), window.scaleWidth());
    WebBrwI.setHeight(std::max(0, window.scaleHeight() - 60));
    FrameShow.setVisible(true);
    for (platform::MenuItem* m : menuBar()) m->setVisible(true);
    WebBrwT.setTop(40);
    WebBrwT.setLeft(4);
    WebBrwT.setHeight(WebBrwI.height());
    BarSu.setVisible(false);
    BarGiu.setVisible(false);
    BarDx.setVisible(false);
    FraBot.setVisible(true);
    Pausa.setVisible(true);
    anchorRatioPanel();
    // The image comes back from its file, at its normal size and on the default background.
    WebBrwI.Navigate2(queue.onShow());
    window.setVisible(true);
}

void Form1::enterFullScreen() {
    window.setWindowState(platform::WindowState::Normal);
    window.setVisible(false);
    BarSu.setVisible(true);
    // The window's outer width in twips, taken as pixels: the bar runs past the right edge whatever the screen.
    BarSu.setWidth(static_cast<int>(std::min<std::int64_t>(window.width(), std::numeric_limits<int>::max())));
    BarSu.setTop(Slab(5).top() - 14);
    for (platform::MenuItem* m : menuBar()) m->setVisible(false);
    FrameShow.setVisible(false);
    WebBrwT.setVisible(false);
    // The title bar lies above the screen's top edge.
    window.move(0, -550, page.screenWidth(), page.screenHeight() + 400);
    WebBrwI.setTop(17);
    WebBrwI.setLeft(0);
    anchorRatioPanel();
    WebBrwI.setHeight(window.scaleHeight());
    WebBrwI.setWidth(window.scaleWidth() + 10);
    BarGiu.setVisible(true);
    BarDx.setVisible(true);
    FraBot.setVisible(false);
    Pausa.setVisible(false);
    ShowImage();
    window.setVisible(true);
}

void Form1::menuFitG_Click() { toggleFitOption(menuFitG); }
void Form1::menuFitP_Click() { toggleFitOption(menuFitP); }

// With both options off there is nothing to fit to: the mode switches over and its item is disabled.
void Form1::toggleFitOption(platform::MenuItem& option) {
    option.setChecked(!option.checked());
    if (!menuFitG.checked() && !menuFitP.checked()) {
        menuFit_Click();
        menuFit.setEnabled(false);
    } else {
        menuFit.setEnabled(true);
    }
    // The option applies from the next picture on.
    preloadAround();
}

}  // namespace gb
