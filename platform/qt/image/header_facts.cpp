// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/image/header_facts.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace gb::qt {

namespace {
unsigned byteAt(const QByteArray& b, qsizetype i) { return static_cast<unsigned char>(b[i]); }
unsigned big16(const QByteArray& b, qsizetype i) { return byteAt(b, i) << 8 | byteAt(b, i + 1); }
unsigned little16(const QByteArray& b, qsizetype i) { return byteAt(b, i) | byteAt(b, i + 1) << 8; }
qint32 little32(const QByteArray& b, qsizetype i) {
    return static_cast<qint32>(little16(b, i) | little16(b, i + 2) << 16);
}
}  // namespace

bool JpegFrame::progressive() const { return marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE; }

std::optional<JpegFrame> jpegFrame(const QByteArray& head) {
    if (head.size() < 4 || byteAt(head, 0) != 0xFF || byteAt(head, 1) != 0xD8) return std::nullopt;
    for (qsizetype i = 2; i + 4 <= head.size();) {
        if (byteAt(head, i) != 0xFF) return std::nullopt;
        const unsigned marker = byteAt(head, i + 1);
        if (marker == 0xFF) {  // fill byte
            ++i;
            continue;
        }
        // The start-of-frame markers: C0-CF except C4 (Huffman tables), C8 (reserved) and CC (arithmetic tables).
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            if (i + 9 > head.size()) return std::nullopt;
            return JpegFrame{marker, static_cast<int>(byteAt(head, i + 4)),
                             QSize(static_cast<int>(big16(head, i + 7)), static_cast<int>(big16(head, i + 5)))};
        }
        i += 2 + big16(head, i + 2);
    }
    return std::nullopt;
}

QSize claimedSize(const QByteArray& head) {
    if (const auto frame = jpegFrame(head)) return frame->size;
    if (head.size() >= 10 && (head.startsWith("GIF87a") || head.startsWith("GIF89a")))
        return QSize(static_cast<int>(little16(head, 6)), static_cast<int>(little16(head, 8)));
    if (head.size() >= 26 && head.startsWith("BM")) {
        const qint32 info = little32(head, 14);
        if (info == 12) return QSize(static_cast<int>(little16(head, 18)), static_cast<int>(little16(head, 20)));
        // A negative height is a picture stored top row first; a negative width is no picture (left invalid).
        if (info >= 40) return QSize(little32(head, 18), std::abs(std::max(little32(head, 22), -INT_MAX)));
    }
    return {};
}

QString unreadJpegKind(const QByteArray& head) {
    const auto frame = jpegFrame(head);
    if (!frame) return {};
    // Lossless: C3, C7, CB, CF; hierarchical (differential): C5-C7, CD-CF.
    if ((frame->marker & 0x03) == 0x03) return QStringLiteral("a lossless JPEG");
    if ((frame->marker >= 0xC5 && frame->marker <= 0xC7) || frame->marker >= 0xCD)
        return QStringLiteral("a hierarchical JPEG");
    // The decoder reads 8 bits a sample only; another precision than 12 or 16 is no JPEG's, only damage.
    if (frame->precision == 12 || frame->precision == 16) return QStringLiteral("a %1-bit JPEG").arg(frame->precision);
    return {};
}

}  // namespace gb::qt
