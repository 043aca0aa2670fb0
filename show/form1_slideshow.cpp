// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"

namespace gb {

void Form1::TempoSlide_Timer() {
    if (menuHelpRegole.checked()) return;
    slideshow.setIntervalSeconds(Pausa.text());
    menuSAvanti_Click();
    Tastiera.setFocus();
}

void Form1::menuSPausa_Click() {
    if (slideshow.running()) slideshow.pause();
    else slideshow.resume();
    writeBottomBar(page.fitScale());
}

void Form1::Pausa_Click() {
    slideshow.setIntervalSeconds(Pausa.text());
    slideshow.resume();
}

bool Form1::HDocBrwI_onclick() {
    if (!menuHelpRegole.checked()) menuSPausa_Click();
    return false;
}

}  // namespace gb
