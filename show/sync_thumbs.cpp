// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"

namespace gb {

// Scrolls the thumbnail bar so that the current image's share of the page is at its top.
void Form1::SyncThumbs() {
    if (queue.queueCount() == 0 || HDocBrwT == nullptr) return;
    const double h = HDocBrwT->scrollHeight();
    const auto y = toInt32(h / queue.queueCount() * (queue.queuePos() - 1));
    WebBrwT.setFocus();
    if (y) HDocBrwT->scrollTo(0, *y);
}

}  // namespace gb
