// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"
#include "app/texts.h"

namespace gb {

void Form1::showPath(const std::string& path) {
    DoveShow.setText(path);
    labelShow.setCaption(DoveShow.text());
    WebBrwI.Navigate2(DoveShow.text());
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
    labelShow.setCaption(DoveShow.text());
    slideshow.pause();
    WebBrwI.Navigate2(DoveShow.text());
    queue.jumpTo(DoveShow.text());
    if (WebBrwT.visible()) SyncThumbs();
}

}  // namespace gb
