// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/image/gif_lzw.h"

namespace gb::qt {

GifLzw::GifLzw(int minCodeSize)
    : minCodeSize_(valid(minCodeSize) ? minCodeSize : 0), clear_(1 << minCodeSize_), end_(clear_ + 1) {
    reset();
    if (!valid(minCodeSize)) finished_ = true;
}

void GifLzw::reset() {
    codeBits_ = minCodeSize_ + 1;
    next_ = end_ + 1;
    previous_ = -1;
}

int GifLzw::decode(const std::uint8_t*& in, const std::uint8_t* inEnd, std::uint8_t* out, int outSize) {
    int written = 0;
    while (written < outSize) {
        if (pending_ > 0) {
            out[written++] = string_[--pending_];
            continue;
        }
        if (finished_) break;
        while (bitCount_ < codeBits_ && in < inEnd) {
            bits_ |= std::uint32_t(*in++) << bitCount_;
            bitCount_ += 8;
        }
        if (bitCount_ < codeBits_) break;
        const int code = static_cast<int>(bits_ & ((1u << codeBits_) - 1));
        bits_ >>= codeBits_;
        bitCount_ -= codeBits_;
        if (!take(code)) finished_ = true;
    }
    return written;
}

bool GifLzw::take(int code) {
    if (code == clear_) {
        reset();
        return true;
    }
    if (code == end_) return false;
    if (previous_ < 0) {
        // The first code after a clear stands for one index.
        if (code > clear_) return false;
        string_[0] = static_cast<std::uint8_t>(code);
        pending_ = 1;
        previous_ = code;
        firstOfPrevious_ = static_cast<std::uint8_t>(code);
        return true;
    }
    int walk = code;
    if (code == next_ && next_ < tableSize) {
        // The code being defined: the previous string and its own first index.
        string_[pending_++] = firstOfPrevious_;
        walk = previous_;
    } else if (code >= next_) {
        return false;
    }
    while (walk > end_) {
        string_[pending_++] = suffix_[walk];
        walk = prefix_[walk];
    }
    string_[pending_++] = static_cast<std::uint8_t>(walk);
    const auto first = static_cast<std::uint8_t>(walk);
    if (next_ < tableSize) {
        prefix_[next_] = static_cast<std::uint16_t>(previous_);
        suffix_[next_] = first;
        ++next_;
        if (next_ == (1 << codeBits_) && codeBits_ < maxCodeBits) ++codeBits_;
    }
    previous_ = code;
    firstOfPrevious_ = first;
    return true;
}

}  // namespace gb::qt
