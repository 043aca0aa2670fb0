// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A scale factor that remembers the kind of number it was given: the products it takes part in are computed in
// that precision (32-bit float for a height quotient, double for a width quotient), as the sizes depend on it.

#include <cstdint>
#include <optional>

#include "app/numbers.h"

namespace gb {

class Scale {
public:
    enum class Kind { Empty, Integer, Single, Double };

    static Scale integer(int v) { return {Kind::Integer, static_cast<double>(v)}; }
    static Scale single(float v) { return {Kind::Single, static_cast<double>(v)}; }
    static Scale dbl(double v) { return {Kind::Double, v}; }

    Scale() = default;
    Kind kind() const { return kind_; }
    // An empty scale reads as 0.
    double value() const { return kind_ == Kind::Empty ? 0.0 : value_; }

    // n x scale in the scale's precision: float for Single, double otherwise.
    double times(double n) const {
        if (kind_ == Kind::Single) return static_cast<double>(static_cast<float>(n) * static_cast<float>(value_));
        return n * value();
    }
    // The scale multiplied by a double factor; an empty scale stays empty (it reads as 0 and stays 0).
    Scale scaledBy(double f) const { return kind_ == Kind::Empty ? *this : dbl(value_ * f); }

    bool operator==(const Scale&) const = default;

private:
    Scale(Kind k, double v) : kind_(k), value_(v) {}
    Kind kind_ = Kind::Empty;
    double value_ = 0;
};

}  // namespace gb
