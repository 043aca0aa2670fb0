// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"
#include "app/texts.h"

namespace gb {

void Form1::showPath(const std::string& path) {
    queue.setOnShow(path);
    labelShow.setCaption(path);
    WebBrwI.Navigate2(path);
}

void Form1::menuSAvanti_Click() {
    slideshow.halt();
    if (!queue.step(+1)) return;
    showPath(queue.currentPath());
    // A forward move always restarts the slideshow's countdown from a full interval.
    slideshow.resume();
    if (WebBrwT.visible()) SyncThumbs();
}

void Form1::menuSIndietro_Click() {
    slideshow.halt();
    if (!queue.step(-1)) return;
    showPath(queue.currentPath());
    slideshow.pause();
    if (WebBrwT.visible()) SyncThumbs();
}

void Form1::DoveShow_Click() {
    if (menuHelpRegole.checked()) return;
    labelShow.setCaption(queue.onShow());
    slideshow.pause();
    WebBrwI.Navigate2(queue.onShow());
    queue.jumpTo(queue.onShow());
    if (WebBrwT.visible()) SyncThumbs();
}

}  // namespace gb
