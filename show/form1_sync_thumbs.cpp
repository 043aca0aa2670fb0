// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"

namespace gb {

// Scrolls the thumbnail bar so that the current image's share of the page is at its top.
void Form1::SyncThumbs() {
    if (queue.queueCount() == 0 || HDocBrwT == nullptr) return;
    const auto y = currentThumbTop();
    WebBrwT.setFocus();
    if (y) HDocBrwT->scrollTo(0, *y);
}

std::optional<std::int32_t> Form1::currentThumbTop() const {
    if (queue.queueCount() == 0) return 0;
    return toInt32(static_cast<double>(HDocBrwT->scrollHeight()) / queue.queueCount() * (queue.queuePos() - 1));
}

}  // namespace gb
