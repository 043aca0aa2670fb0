// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>

#include "app/form1.h"
#include "display/preload_plan.h"

namespace gb {

// The size a file of the queue will be drawn at when it is shown next, in the mode and with the ratio of now.
std::optional<std::pair<int, int>> Form1::drawnSizeOf(const std::string& path) {
    const platform::ImageInfo info = services.images.probe(path);
    if (!info.ok || info.width <= 0 || info.height <= 0) return std::nullopt;
    const auto [w, h] = withinSixteenBits(info.width, info.height);
    Int16 width = 0, height = 0;
    if (!assignInt16(width, w) || !assignInt16(height, h)) return std::nullopt;
    if (menuFit.checked()) {
        const Fit fit = fitPicture(fitArea(), width, height, page.fitWidth(), page.fitHeight());
        return std::pair<int, int>{fit.width, fit.height};
    }
    assignInt16(width, width * ratio.factor());
    return std::pair<int, int>{width, height};
}

// Asks for the picture on show and for the files a step will show next. Whatever was asked for before and is
// not among these is dropped.
void Form1::preloadAround() {
    std::vector<platform::PreloadRequest> wanted;
    if (page.hasPicture() && page.shownWidth() > 0 && page.shownHeight() > 0)
        wanted.push_back({WebBrwI.locationURL(), page.shownWidth(), page.shownHeight()});
    const int count = std::min<std::int64_t>(queue.queueCount(), DoveShow.listCount());
    for (const int index : preloadPlan(queue.queuePos(), count, queue.steppedBack())) {
        const std::string& path = DoveShow.listItem(index);
        if (const auto size = drawnSizeOf(path); size && size->first > 0 && size->second > 0)
            wanted.push_back({path, size->first, size->second});
    }
    services.preloader.preload(wanted);
}

}  // namespace gb
