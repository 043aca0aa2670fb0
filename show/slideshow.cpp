// SPDX-License-Identifier: GPL-3.0-or-later
#include "show/slideshow.h"

#include <cstdlib>

#include "app/numbers.h"
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

}  // namespace gb
