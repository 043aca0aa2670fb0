// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the link-to-path conversion. Any text is read without crashing; any path survives the
// round trip through its file URL exactly, and that URL can stand in markup as it is.

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/file_url.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    (void)gb::platform::pathFromFileUrl(text);

    const std::string path = "/" + text;
    const std::string url = gb::platform::toFileUrl(path);
    if (url.find_first_of(" \"'<>&#?") != std::string::npos) std::abort();
    for (std::size_t i = url.find('%'); i != std::string::npos; i = url.find('%', i + 1))
        if (i + 2 >= url.size() || !std::isxdigit(static_cast<unsigned char>(url[i + 1])) ||
            !std::isxdigit(static_cast<unsigned char>(url[i + 2])))
            std::abort();
    const auto back = gb::platform::pathFromFileUrl(url);
    if (!back || *back != path) std::abort();
    return 0;
}
