// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which entries of the queue to decode ahead: the two a step in the direction of travel shows next, then the one
// behind.

#include <cstdint>
#include <vector>

namespace gb {

// Indexes from 0 into a queue of `count` entries whose position is `queuePos` (from 1).
std::vector<int> preloadPlan(std::int32_t queuePos, int count, bool steppedBack);

}  // namespace gb
