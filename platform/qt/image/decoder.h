// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading a picture from a file already open, as the decoder helpers do: the header (what the picture is and
// whether it can be shown) and the decoding at the size it will be drawn. The viewer asks for these through
// remote_decoding.h and never decodes itself.

#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>

#include "platform/services.h"

namespace gb::qt {

// The largest image Qt's readers may allocate: a 100-megapixel photo at 4 bytes a pixel fits, a header bomb
// does not.
inline constexpr int imageAllocationLimitMb = 512;
// The most pixels a picture may have to be shown: what the allocation limit holds at 4 bytes a pixel.
inline constexpr double maxPicturePixels = imageAllocationLimitMb * 1024.0 * 1024.0 / 4;
// The longest a picture may take to decode; past it, its place says it was too slow.
inline constexpr int decodeSeconds = 15;
// From this size on, a picture at its own size is shown in parts first, and a full-size JPEG is decoded
// straight into the memory it is handed over in.
inline constexpr qint64 largePixels = 1 << 20;

// What a file's header says: the upright size, what the decoder would allocate (a GIF's logical screen may be
// far larger than its frames), whether parts of it can be decoded on their own, and why it cannot be shown.
struct Header {
    QSize size;
    QSize canvas;
    bool partial = false;
    QString error;  // a sentence for the user; empty while the picture can be shown
    platform::ImageInfo info() const;
};
Header readHeader(QIODevice& file);

// The size a picture is shown at: its header's size, turned when its orientation turns it a quarter.
QSize uprightSize(QImageReader& reader);
// What the decoder allocates for a picture of `natural` size whose file starts with `head`.
QSize decoderCanvas(const QByteArray& head, QSize natural);
// Whether the JPEG whose start is `head` stores its picture in several passes.
bool isProgressiveJpeg(const QByteArray& head);

// The memory a decoding of a picture of `natural` size drawn at `size` takes at its peak.
qint64 decodeBytes(QSize natural, QSize size, bool reduced, bool progressive);
// What a decoding asks of whoever runs it: the memory it will take at its peak (false: it must not go on), and
// an image to decode a large picture or a part straight into, where it will be kept.
struct DecodeHooks {
    std::function<bool(qint64 bytes, QSize picture)> takeMemory;
    std::function<QImage(QSize, QImage::Format)> blank;
};
// Decodes the picture at `size`; `frames` receives the number of frames of an animation (1 for a still
// picture).
QImage decodeImage(QIODevice& file, QSize size, QString* error = nullptr, int* frames = nullptr,
                   const DecodeHooks& hooks = {});
// The part `area` of a picture at its own size; a null image when it cannot be decoded alone.
QImage decodePart(QIODevice& file, QRect area, const DecodeHooks& hooks = {});
QString tooSlowText();
QString tooLargeText(QSize canvas);

}  // namespace gb::qt
