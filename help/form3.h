// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The About window, created for each showing.

#include <vector>

#include "platform/controls.h"

namespace gb {

class Form3 {
public:
    Form3();
    Form3(const Form3&) = delete;
    Form3& operator=(const Form3&) = delete;

    platform::Window window{"Form3"};
    platform::Label Version{"Version"};
    platform::Label Credits{"Credits"};
    platform::Label Terms{"Terms"};
    platform::Button Command1{"Command1"};

    std::vector<platform::Control*> controls() { return {&Version, &Credits, &Terms, &Command1}; }

    void Command1_Click();
};

}  // namespace gb
