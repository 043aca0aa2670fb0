// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which names a folder listing gives for a pattern, the same rule for every file system the logic is given.

#include <string>

namespace gb::platform {

// "*.*" and "*" take every name; "*.ext" the names ending in ".ext", whatever the case of either; any other
// pattern the name itself. Hidden names (a leading dot) and the empty name are never listed.
bool listedUnder(const std::string& name, const std::string& pattern);

}  // namespace gb::platform
