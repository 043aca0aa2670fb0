// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/name_pattern.h"

#include <cctype>

namespace gb::platform {

bool listedUnder(const std::string& name, const std::string& pattern) {
    if (name.empty() || name[0] == '.') return false;
    if (pattern == "*.*" || pattern == "*") return true;
    if (pattern.size() < 2 || pattern[0] != '*') return name == pattern;
    const std::string suffix = pattern.substr(1);
    if (name.size() < suffix.size()) return false;
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        const auto a = static_cast<unsigned char>(name[name.size() - suffix.size() + i]);
        const auto b = static_cast<unsigned char>(suffix[i]);
        if (std::tolower(a) != std::tolower(b)) return false;
    }
    return true;
}

}  // namespace gb::platform
