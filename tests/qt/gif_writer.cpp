// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/qt/gif_writer.h"

#include <algorithm>
#include <cstdint>

namespace gb::test {

namespace {
void put16(QByteArray& out, int v) { out.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); }

// The colour table's size field: the smallest 2^(n+1) that holds `colours`.
int tableBits(std::size_t colours) {
    int n = 0;
    while ((2u << n) < colours) ++n;
    return n;
}

void putTable(QByteArray& out, const std::vector<QRgb>& palette) {
    const std::size_t entries = 2u << tableBits(palette.size());
    for (std::size_t i = 0; i < entries; ++i) {
        const QRgb c = i < palette.size() ? palette[i] : 0;
        out.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
    }
}

void putSubBlocks(QByteArray& out, const QByteArray& data) {
    for (qsizetype i = 0; i < data.size(); i += 255) {
        const QByteArray block = data.mid(i, 255);
        out.append(char(block.size())).append(block);
    }
    out.append(char(0));
}

std::vector<int> interlace(const std::vector<int>& indices, int width, int height) {
    std::vector<int> out;
    static constexpr int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = start[pass]; y < height; y += step[pass])
            out.insert(out.end(), indices.begin() + y * width, indices.begin() + (y + 1) * width);
    return out;
}
}  // namespace

QByteArray lzwCompress(const std::vector<int>& indices, int minCodeSize) {
    const int clear = 1 << minCodeSize, end = clear + 1;
    int width = minCodeSize + 1, next = end + 1;
    // The code of a string and one more index, or 0 when it has none yet.
    std::vector<std::uint16_t> table(std::size_t{4096} << minCodeSize, 0);
    QByteArray out;
    std::uint32_t acc = 0;
    int bits = 0;
    // As giflib: a code is written at the current width, which grows once the table has reached it.
    const auto write = [&](int code) {
        acc |= std::uint32_t(code) << bits;
        bits += width;
        while (bits >= 8) {
            out.append(char(acc & 0xFF));
            acc >>= 8;
            bits -= 8;
        }
        if (next >= (1 << width) && width < 12) ++width;
    };
    write(clear);
    int prefix = -1;
    for (const int k : indices) {
        if (prefix < 0) {
            prefix = k;
            continue;
        }
        std::uint16_t& entry = table[(std::size_t(prefix) << minCodeSize) + std::size_t(k)];
        if (entry != 0) {
            prefix = entry;
            continue;
        }
        write(prefix);
        if (next >= 4095) {
            write(clear);
            std::fill(table.begin(), table.end(), 0);
            next = end + 1;
            width = minCodeSize + 1;
        } else {
            entry = static_cast<std::uint16_t>(next++);
        }
        prefix = k;
    }
    if (prefix >= 0) write(prefix);
    write(end);
    if (bits > 0) out.append(char(acc & 0xFF));
    return out;
}

QByteArray gifBytes(const GifFile& gif) {
    QByteArray out("GIF89a");
    put16(out, gif.screen.width());
    put16(out, gif.screen.height());
    const bool global = !gif.palette.empty();
    out.append(char(global ? 0x80 | tableBits(gif.palette.size()) : 0)).append(char(gif.background)).append(char(0));
    if (global) putTable(out, gif.palette);
    if (gif.repeats) {
        out.append("\x21\xff\x0bNETSCAPE2.0\x03\x01", 16);
        put16(out, *gif.repeats);
        out.append(char(0));
    }
    for (const GifFrame& f : gif.frames) {
        out.append("\x21\xf9\x04", 3);
        out.append(char((f.disposal & 7) << 2 | (f.transparent >= 0 ? 1 : 0)));
        put16(out, f.delayHundredths);
        out.append(char(f.transparent >= 0 ? f.transparent : 0)).append(char(0));
        out.append(char(0x2C));
        put16(out, f.rect.x());
        put16(out, f.rect.y());
        put16(out, f.rect.width());
        put16(out, f.rect.height());
        const bool local = !f.palette.empty();
        out.append(char((local ? 0x80 | tableBits(f.palette.size()) : 0) | (f.interlaced ? 0x40 : 0)));
        if (local) putTable(out, f.palette);
        const int minCodeSize = std::max(2, tableBits((local ? f.palette : gif.palette).size()) + 1);
        out.append(char(minCodeSize));
        putSubBlocks(out, lzwCompress(f.interlaced ? interlace(f.indices, f.rect.width(), f.rect.height()) : f.indices,
                                      minCodeSize));
    }
    out.append(char(0x3B));
    return out;
}

}  // namespace gb::test
