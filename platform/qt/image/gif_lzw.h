// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The LZW decompression of a GIF frame, fed one data sub-block at a time and drained into a buffer of any size,
// so that a frame is decoded row by row without ever holding all its pixels. A stream that breaks its own rules
// (a code not yet defined, a missing clear code) ends where it breaks, as browsers end it.

#include <array>
#include <cstdint>

namespace gb::qt {

class GifLzw {
public:
    // `minCodeSize` is the byte that opens a frame's data: 0 to 11 (see valid()).
    explicit GifLzw(int minCodeSize);
    static bool valid(int minCodeSize) { return minCodeSize >= 0 && minCodeSize < maxCodeBits; }

    // Decodes from `in` (up to `inEnd`) into `out` until `outSize` indices are written or the input runs
    // out; `in` moves past what was used. Returns the number of indices written.
    int decode(const std::uint8_t*& in, const std::uint8_t* inEnd, std::uint8_t* out, int outSize);
    // The end code or a broken code was met: nothing more will come out, whatever the input.
    bool finished() const { return finished_ && pending_ == 0; }

private:
    static constexpr int maxCodeBits = 12;
    static constexpr int tableSize = 1 << maxCodeBits;
    void reset();
    // Takes in one code and queues its string; false when the stream ends here.
    bool take(int code);

    const int minCodeSize_;
    const int clear_, end_;
    int next_ = 0, codeBits_ = 0;
    int previous_ = -1;  // the code before, -1 right after a clear code
    std::uint8_t firstOfPrevious_ = 0;
    std::uint32_t bits_ = 0;
    int bitCount_ = 0;
    bool finished_ = false;
    std::array<std::uint16_t, tableSize> prefix_{};
    std::array<std::uint8_t, tableSize> suffix_{};
    // The string of the last code, last byte first; what is left of it to hand out.
    std::array<std::uint8_t, tableSize + 1> string_{};
    int pending_ = 0;
};

}  // namespace gb::qt
