// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which names the viewer queues: the type after the last dot is JPG, JPEG, GIF or BMP, in any case.

#include <string>

namespace gb {

// The upper-cased text after the last dot of a name; empty when it has no dot.
std::string imageTypeOf(const std::string& name);
bool isImageName(const std::string& name);

}  // namespace gb
