// SPDX-License-Identifier: GPL-3.0-or-later
#include "queue/folder_choice.h"

namespace gb {

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash == 0 ? 1 : slash);
}

}  // namespace gb
