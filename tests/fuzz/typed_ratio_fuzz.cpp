// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the typed width/height ratio. Any text gives nothing or a ratio of 1 to 32767 hundredths,
// and a ratio written back with two decimals reads as itself.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ratio/typed_ratio.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto hundredths = gb::readRatioHundredths(text);
    if (!hundredths) return 0;
    if (*hundredths < 1 || *hundredths > 32767) std::abort();
    char written[32];
    std::snprintf(written, sizeof written, "%d.%02d", *hundredths / 100, *hundredths % 100);
    if (gb::readRatioHundredths(written) != hundredths) std::abort();
    return 0;
}
