// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>

#include "app/form1.h"
#include "display/placement.h"

namespace gb {

void Form1::Form_Resize() {
    if (window.windowState() == platform::WindowState::Minimized) return;
    const int W = window.scaleWidth();
    const int H = window.scaleHeight();
    // Very narrow windows are left as they are.
    if (W <= 133) return;

    DoveShow.setWidth(W - 76);
    FrameShow.move(DoveShow.left() + 2, DoveShow.top() + 2, DoveShow.width() - 22, FrameShow.height());
    labelShow.move(DoveShow.left(), DoveShow.top(), labelShow.width(), labelShow.height());

    // A client area lower than the bars would give negative heights: they stop at zero.
    if (!menuFit.checked()) {
        placeImageBrowser(WebBrwI, WebBrwT, menuThumb.checked(), W);
        WebBrwI.setHeight(std::max(0, H - 60));
        WebBrwT.setHeight(WebBrwI.height());
    } else {
        WebBrwT.setVisible(false);
        WebBrwI.move(0, 0, W + 10, H);
    }

    Pausa.setTop(H - 20);
    FraBot.move(FraBot.left(), H - 18, W, FraBot.height());
    BarDx.move(W - 18, 0, 18, H);
    BarGiu.setLeft(1);
    BarGiu.setHeight(18);
    BarGiu.setTop(H - BarGiu.height() + 3);
    BarGiu.setWidth(FraBot.width());

    page.setArea(W - 50, H - 70);
    page.setBrowserHeight(WebBrwI.height());
}

}  // namespace gb
