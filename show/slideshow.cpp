// SPDX-License-Identifier: GPL-3.0-or-later
#include "show/slideshow.h"

#include <cstdlib>

#include "app/form1.h"
#include "app/texts.h"

namespace gb {

void Slideshow::pause() {
    timer_.setEnabled(false);
    pauseLabel_.setCaption(texts::pauseLabel);
}

void Slideshow::resume() {
    timer_.setEnabled(true);
    pauseLabel_.setCaption("");
}

void Slideshow::stop() {
    timer_.setEnabled(false);
    pauseLabel_.setCaption("");
}

bool Slideshow::setIntervalSeconds(const std::string& text) {
    char* end = nullptr;
    const double seconds = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size()) return false;
    const auto ms = toInt32(seconds * texts::millisecondsPerSecond);
    return ms && timer_.setInterval(*ms);
}

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
