// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The slideshow's clock and the "Pause" it shows: pause() and resume() are the one way to change them together.

#include "platform/controls.h"

namespace gb {

class Slideshow {
public:
    Slideshow(platform::Timer& timer, platform::Label& pauseLabel) : timer_(timer), pauseLabel_(pauseLabel) {}
    Slideshow(const Slideshow&) = delete;
    Slideshow& operator=(const Slideshow&) = delete;

    // The timer alone decides, not the label.
    bool running() const { return timer_.enabled(); }
    void pause();
    // Restarts the countdown from a full interval.
    void resume();

private:
    platform::Timer& timer_;
    platform::Label& pauseLabel_;
};

}  // namespace gb
