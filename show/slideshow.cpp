// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdlib>

#include "show/slideshow.h"

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

// The interval in the combo box, in seconds, as the timer's milliseconds; false when the text is no number or
// the timer refuses the interval.
bool Form1::intervalFromPausa() {
    const std::string& text = Pausa.text();
    char* end = nullptr;
    const double seconds = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size()) return false;
    const auto ms = toInt32(seconds * texts::millisecondsPerSecond);
    return ms && TempoSlide.setInterval(*ms);
}

void Form1::TempoSlide_Timer() {
    if (menuHelpRegole.checked()) return;
    intervalFromPausa();
    menuSAvanti_Click();
    Tastiera.setFocus();
}

void Form1::menuSPausa_Click() {
    if (slideshow.running()) slideshow.pause();
    else slideshow.resume();
    writeBottomBar(page.fitScale);
}

void Form1::Pausa_Click() {
    intervalFromPausa();
    slideshow.resume();
}

bool Form1::HDocBrwI_onclick() {
    if (!menuHelpRegole.checked()) menuSPausa_Click();
    return false;
}

}  // namespace gb
