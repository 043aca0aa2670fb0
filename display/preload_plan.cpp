// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/preload_plan.h"

namespace gb {

std::vector<int> preloadPlan(std::int32_t queuePos, int count, bool steppedBack) {
    std::vector<int> indexes;
    const int step = steppedBack ? -1 : 1;
    // queuePos counts from 1; the entry at queuePos + k is list item queuePos + k - 1.
    for (const int k : {step, 2 * step, -step}) {
        const std::int64_t index = static_cast<std::int64_t>(queuePos) + k - 1;
        if (queuePos >= 1 && index >= 0 && index < count) indexes.push_back(static_cast<int>(index));
    }
    return indexes;
}

}  // namespace gb
