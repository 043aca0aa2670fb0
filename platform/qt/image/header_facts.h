// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a picture file's own header says, read from its first bytes: for the words of a refusal when the picture
// reader gives none ("Unknown error"), and for what the reader is not told.

#include <QByteArray>
#include <QSize>
#include <QString>
#include <optional>

namespace gb::qt {

// A JPEG's frame header (its start-of-frame segment): the coding process, the bits a sample and the size.
struct JpegFrame {
    unsigned marker = 0;  // 0xC0..0xCF
    int precision = 0;
    QSize size;
    bool progressive() const;
};
// Nothing when `head` is no JPEG or its frame header is not within it.
std::optional<JpegFrame> jpegFrame(const QByteArray& head);

// The size a JPEG, GIF (its logical screen) or BMP file claims; an invalid size for any other file.
QSize claimedSize(const QByteArray& head);

// What a JPEG is when its coding is one the decoder does not read: "a 12-bit JPEG", "a lossless JPEG",
// "a hierarchical JPEG". Empty for any other file.
QString unreadJpegKind(const QByteArray& head);

}  // namespace gb::qt
