#pragma once
// The suspended-images window: the queue's names and the suspended names side by side.

#include "platform/controls.h"

namespace gb {

class Form2 {
public:
    Form2();
    Form2(const Form2&) = delete;
    Form2& operator=(const Form2&) = delete;

    platform::Window window{"Form2"};
    platform::ListBox ListSI{"ListSI", true};
    platform::ListBox ListNO{"ListNO", true};
    platform::Label TotSI{"TotSI"};
    platform::Label TotNO{"TotNO"};
};

}  // namespace gb
