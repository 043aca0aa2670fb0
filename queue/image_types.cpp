// SPDX-License-Identifier: GPL-3.0-or-later
#include "queue/image_types.h"

namespace gb {

std::string imageTypeOf(const std::string& name) {
    const auto slash = name.rfind('/');
    const auto dot = name.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string type = name.substr(dot + 1);
    for (char& c : type)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return type;
}

bool isImageName(const std::string& name) {
    const std::string type = imageTypeOf(name);
    return type == "JPG" || type == "JPEG" || type == "GIF" || type == "BMP";
}

}  // namespace gb
