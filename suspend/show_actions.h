// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the suspended-images window asks of the main window besides the queue and the slideshow it is given.

#include <string>

namespace gb {

class ShowActions {
public:
    // The file of the current image goes, to the trash or after the erase question; false when it stays.
    virtual bool removeCurrentFile(const std::string& path) = 0;
    // After the current image left the show: the next one takes its place, or nothing is on show when it was
    // the last.
    virtual void showNext() = 0;
    // The suspended-images window was closed: the main window comes back.
    virtual void listsClosed() = 0;

protected:
    ~ShowActions() = default;
};

}  // namespace gb
