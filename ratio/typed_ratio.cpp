// SPDX-License-Identifier: GPL-3.0-or-later
#include "ratio/typed_ratio.h"

#include <cctype>

#include "app/numbers.h"

namespace gb {

std::optional<int> readRatioHundredths(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && text[begin] == ' ') ++begin;
    while (end > begin && text[end - 1] == ' ') --end;
    if (begin == end || end - begin > 32) return std::nullopt;

    double whole = 0, fraction = 0, scale = 1;
    bool digits = false, separator = false;
    for (std::size_t i = begin; i < end; ++i) {
        const char c = text[i];
        if (std::isdigit(static_cast<unsigned char>(c))) {
            digits = true;
            if (separator) {
                scale /= 10;
                fraction += (c - '0') * scale;
            } else {
                whole = whole * 10 + (c - '0');
            }
        } else if ((c == '.' || c == ',') && !separator) {
            separator = true;
        } else {
            return std::nullopt;
        }
    }
    if (!digits) return std::nullopt;
    const double hundredths = roundHalfEven((whole + fraction) * 100.0);
    if (hundredths < 1 || hundredths > 32767) return std::nullopt;
    return static_cast<int>(hundredths);
}

}  // namespace gb
