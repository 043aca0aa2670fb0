// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/numbers.h"

#include <cmath>
#include <limits>

namespace gb {

double roundHalfEven(double value) {
    if (!std::isfinite(value)) return value;
    const double lower = std::floor(value);
    const double diff = value - lower;
    if (diff > 0.5) return lower + 1.0;
    if (diff < 0.5) return lower;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

namespace {
template <class Int>
std::optional<Int> toChecked(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    const double r = roundHalfEven(value);
    if (r < static_cast<double>(std::numeric_limits<Int>::min()) ||
        r > static_cast<double>(std::numeric_limits<Int>::max()))
        return std::nullopt;
    return static_cast<Int>(r);
}
}  // namespace

std::optional<Int16> toInt16(double value) { return toChecked<Int16>(value); }
std::optional<std::int32_t> toInt32(double value) { return toChecked<std::int32_t>(value); }

bool assignInt16(Int16& target, double value) {
    const auto v = toInt16(value);
    if (v) target = *v;
    return v.has_value();
}

bool assignInt32(std::int32_t& target, double value) {
    const auto v = toInt32(value);
    if (v) target = *v;
    return v.has_value();
}

}  // namespace gb
