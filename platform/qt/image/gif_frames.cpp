// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/image/gif_frames.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/qt/image/gif_lzw.h"

namespace gb::qt {

namespace {
constexpr int blockExtension = 0x21, blockImage = 0x2C;
constexpr int labelControl = 0xF9, labelApplication = 0xFF;
constexpr int restoreBackground = 2, restorePrevious = 3, restorePreviousToo = 4;
constexpr QRgb unlisted = 0xFF000000;  // an index past the palette: opaque black

int le16(const unsigned char* p) { return p[0] | p[1] << 8; }

// The rows of an interlaced frame come in four passes: every 8th from 0, every 8th from 4, every 4th from 2,
// every 2nd from 1.
class RowOrder {
public:
    RowOrder(int height, bool interlaced) : height_(height), interlaced_(interlaced) {}
    int line() const { return line_; }
    void advance() {
        if (!interlaced_) {
            ++line_;
            return;
        }
        static constexpr int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
        line_ += step[pass_];
        while (line_ >= height_ && pass_ < 3) line_ = start[++pass_];
    }

private:
    const int height_;
    const bool interlaced_;
    int pass_ = 0, line_ = 0;
};
}  // namespace

GifFrames::GifFrames(QIODevice& device) : device_(device) {}

bool GifFrames::readExact(char* data, qint64 size) {
    while (size > 0) {
        const qint64 got = device_.read(data, size);
        if (got <= 0) return false;
        data += got;
        size -= got;
    }
    return true;
}

bool GifFrames::readByte(int& byte) {
    unsigned char c = 0;
    if (!readExact(reinterpret_cast<char*>(&c), 1)) return false;
    byte = c;
    return true;
}

bool GifFrames::skipSubBlocks() {
    char block[255];
    for (int size = 0;;) {
        if (!readByte(size)) return false;
        if (size == 0) return true;
        if (!readExact(block, size)) return false;
    }
}

bool GifFrames::readPalette(int flags, std::array<QRgb, 256>& palette, int& size) {
    size = 0;
    if (!(flags & 0x80)) return true;
    const int entries = 2 << (flags & 7);
    unsigned char rgb[3 * 256]{};
    if (!readExact(reinterpret_cast<char*>(rgb), 3 * entries)) return false;
    for (int i = 0; i < entries; ++i) palette[i] = qRgb(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
    size = entries;
    return true;
}

bool GifFrames::start(qint64 maxPixels) {
    unsigned char head[13];
    if (!readExact(reinterpret_cast<char*>(head), sizeof head)) return false;
    if (std::memcmp(head, "GIF87a", 6) != 0 && std::memcmp(head, "GIF89a", 6) != 0) return false;
    const QSize screen(le16(head + 6), le16(head + 8));
    if (screen.isEmpty() || qint64(screen.width()) * screen.height() > maxPixels) return false;
    canvas_ = QImage(screen, QImage::Format_ARGB32_Premultiplied);
    if (canvas_.isNull()) return false;
    canvas_.fill(Qt::transparent);
    if (!readPalette(head[10], global_, globalSize_)) return false;
    firstBlock_ = device_.pos();
    frameAhead_ = findFrame();
    return true;
}

bool GifFrames::rewind() {
    if (canvas_.isNull() || !device_.seek(firstBlock_)) return false;
    // The frame on show may still share the canvas: a new one costs no copy.
    if (!canvas_.isDetached()) canvas_ = QImage(canvas_.size(), canvas_.format());
    if (canvas_.isNull()) return false;
    canvas_.fill(Qt::transparent);
    disposal_ = 0;
    drawn_ = QRect();
    under_ = QImage();
    control_ = Control();
    frameAhead_ = findFrame();
    return true;
}

bool GifFrames::findFrame() {
    for (int introducer = 0;;) {
        if (!readByte(introducer)) return false;
        if (introducer == blockImage) return true;
        // The trailer, or anything that is no block: the end, as browsers take it.
        if (introducer != blockExtension || !readExtension()) return false;
    }
}

bool GifFrames::readExtension() {
    int label = 0, size = 0;
    if (!readByte(label) || !readByte(size)) return false;
    unsigned char data[255];
    if (!readExact(reinterpret_cast<char*>(data), size)) return false;
    if (size == 0) return true;  // an extension with no data ends at its first length byte
    if (label == labelControl && size >= 4) {
        control_.disposal = (data[0] >> 2) & 7;
        control_.transparent = (data[0] & 1) ? data[3] : -1;
        control_.delayHundredths = le16(data + 1);
    } else if (label == labelApplication && size == 11 &&
               (std::memcmp(data, "NETSCAPE2.0", 11) == 0 || std::memcmp(data, "ANIMEXTS1.0", 11) == 0)) {
        for (;;) {
            if (!readByte(size)) return false;
            if (size == 0) return true;
            if (!readExact(reinterpret_cast<char*>(data), size)) return false;
            if (size >= 3 && (data[0] & 7) == 1) repeats_ = le16(data + 1);
        }
    }
    return skipSubBlocks();
}

void GifFrames::dispose() {
    if (drawn_.isEmpty()) return;
    const qsizetype rowBytes = qsizetype(drawn_.width()) * 4;
    if (disposal_ == restoreBackground) {
        for (int y = drawn_.top(); y <= drawn_.bottom(); ++y)
            std::memset(canvas_.scanLine(y) + qsizetype(drawn_.left()) * 4, 0, rowBytes);
    } else if ((disposal_ == restorePrevious || disposal_ == restorePreviousToo) && !under_.isNull()) {
        for (int y = drawn_.top(); y <= drawn_.bottom(); ++y)
            std::memcpy(canvas_.scanLine(y) + qsizetype(drawn_.left()) * 4, under_.constScanLine(y - drawn_.top()),
                        rowBytes);
    }
    under_ = QImage();
    drawn_ = QRect();
    disposal_ = 0;
}

bool GifFrames::next() {
    if (!frameAhead_) return false;
    frameAhead_ = false;
    unsigned char descriptor[9];
    if (!readExact(reinterpret_cast<char*>(descriptor), sizeof descriptor)) return false;
    const QRect frame(le16(descriptor), le16(descriptor + 2), le16(descriptor + 4), le16(descriptor + 6));
    const int flags = descriptor[8];
    std::array<QRgb, 256> local;
    int localSize = 0;
    if (!readPalette(flags, local, localSize)) return false;

    dispose();
    const Control control = control_;
    control_ = Control();
    disposal_ = control.disposal;
    drawn_ = frame.intersected(canvas_.rect());
    delayMs_ = control.delayHundredths * 10;
    if ((disposal_ == restorePrevious || disposal_ == restorePreviousToo) && !drawn_.isEmpty())
        under_ = canvas_.copy(drawn_);

    const bool whole = (flags & 0x80) ? drawFrame(frame, flags & 0x40, control.transparent, local, localSize)
                                      : drawFrame(frame, flags & 0x40, control.transparent, global_, globalSize_);
    if (whole) frameAhead_ = findFrame();
    return true;
}

bool GifFrames::drawFrame(QRect frame, bool interlaced, int transparent, const std::array<QRgb, 256>& palette,
                          int paletteSize) {
    int minCodeSize = 0;
    if (!readByte(minCodeSize)) return false;
    if (!GifLzw::valid(minCodeSize)) return false;
    const QRect clip = frame.intersected(canvas_.rect());
    const int width = frame.width(), height = frame.height();
    // Pixels that fall outside the screen are never decoded: a frame wholly outside it is skipped, and one that
    // is not interlaced ends at the screen's last row (its data can unpack to thousands of times its size).
    if (clip.isEmpty()) return skipSubBlocks();
    const int lastRow = interlaced ? height - 1 : clip.bottom() - frame.top();
    GifLzw lzw(minCodeSize);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width));
    RowOrder order(height, interlaced);
    int filled = 0, rows = 0;
    // A row is drawn once it is whole; the part of one that broken or cut data leaves is drawn as it stands.
    const auto drawRow = [&](int count) {
        const int y = frame.top() + order.line();
        if (y >= clip.top() && y <= clip.bottom()) {
            auto* line = reinterpret_cast<QRgb*>(canvas_.scanLine(y));
            const int right = std::min(clip.right(), frame.left() + count - 1);
            for (int x = clip.left(); x <= right; ++x) {
                const int index = row[x - frame.left()];
                if (index == transparent) continue;
                line[x] = index < paletteSize ? palette[index] : unlisted;
            }
        }
        order.advance();
        ++rows;
    };
    std::uint8_t block[255];
    for (int size = 0;;) {
        const bool read = readByte(size) && readExact(reinterpret_cast<char*>(block), size);
        if (!read || size == 0) {
            if (filled > 0) drawRow(filled);
            return read;
        }
        if (rows > lastRow) return skipSubBlocks();
        const std::uint8_t* in = block;
        while (rows <= lastRow && width > 0) {
            const int got = lzw.decode(in, block + size, row.data() + filled, width - filled);
            filled += got;
            if (filled == width) {
                drawRow(width);
                filled = 0;
            }
            if (got == 0) break;
        }
    }
}

}  // namespace gb::qt
