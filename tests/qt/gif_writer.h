// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// GIFs made to order for the tests: every field that a player must honour is set by the test (logical screen,
// palettes, frame rectangles, disposal, transparent index, delay, interlacing, the repeat count), and the pixel
// data is compressed by a real LZW encoder (code widths growing to 12 bits, clear codes when the table is full).

#include <QByteArray>
#include <QRect>
#include <QRgb>

#include <optional>
#include <vector>

namespace gb::test {

struct GifFrame {
    QRect rect;
    std::vector<int> indices;  // rect's width x height, row by row
    int disposal = 0;
    int transparent = -1;
    int delayHundredths = 0;
    bool interlaced = false;
    std::vector<QRgb> palette;  // a local colour table when not empty
};

struct GifFile {
    QSize screen;
    std::vector<QRgb> palette;   // the global colour table, none when empty
    std::optional<int> repeats;  // a NETSCAPE2.0 extension with this count
    std::vector<GifFrame> frames;
    int background = 0;
};

// `minCodeSize` is the LZW's; the data is the frame's data without its length byte framing.
QByteArray lzwCompress(const std::vector<int>& indices, int minCodeSize);
QByteArray gifBytes(const GifFile& gif);

}  // namespace gb::test
