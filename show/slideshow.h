// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The slideshow's clock and the "Pause" it shows. Only this class writes the timer and that label, so the two
// never disagree: running (clock on, no label), paused (clock off, "Pause") or stopped (clock off, no label).

#include <string>

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
    // Stopped without "Pause": the state the window starts in.
    void stop();
    // The clock stops and the label keeps what it says: a show that runs out at the end of the queue does not
    // call itself paused.
    void halt() { timer_.setEnabled(false); }

    // The interval in milliseconds; false (nothing changes) when the timer refuses it.
    bool setInterval(int ms) { return timer_.setInterval(ms); }
    // The interval typed in seconds ("3", "2.5"); false when the text is no number or the timer refuses it.
    bool setIntervalSeconds(const std::string& text);

private:
    platform::Timer& timer_;
    platform::Label& pauseLabel_;
};

}  // namespace gb
