// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Pictures read for the viewer by its decoder helpers: the viewer opens each file (a regular file, without
// waiting on it) and hands it over; what comes back is checked and mapped without a copy. A decoding that is not
// wanted any more, or takes longer than its time, ends with its helper; one whose helper crashed, was stopped by
// the system call filter or ran out of memory says so. Safe on any thread; each call waits for its answer.

#include <QHash>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <memory>

#include "platform/qt/image/decode_guard.h"
#include "platform/qt/image/decoder.h"
#include "platform/qt/image/frame_source.h"
#include "platform/services.h"

namespace gb::sandbox {
class HelperProcess;
}

namespace gb::qt {

// What the header of the file at `path` says (the file does not exist, cannot be read, is not a picture...).
Header readHeader(const QString& path, const DecodeStop* stop = nullptr);

// The header probe of the logic, reading each time; the viewer's probe is the loader's, which reads once.
class QtImageProbe final : public platform::ImageProbe {
public:
    platform::ImageInfo probe(const std::string& path) override;
};

// The picture at `path` decoded at `size`; `frames` receives the number of frames of an animation (1 for a
// still picture), `stop` ends the decoding early (a null image then), `budget` holds it until its memory fits.
// The decoding itself may take decodeSeconds; waiting for memory does not count.
QImage decodeImage(const QString& path, QSize size, QString* error = nullptr, int* frames = nullptr,
                   const DecodeStop* stop = nullptr, MemoryBudget* budget = nullptr);
// The shared cache's files of a still picture's thumbnail, PNGs without their keys (empty when not made).
struct ThumbnailFiles {
    QByteArray large, normal;
};
// The picture at `path` at the size its thumbnail is made at for a drawing of `drawn` (thumbnailKeptSize of its
// header's size), the header read by the helper that decodes it, which writes the cache's files of it too;
// otherwise as decodeImage.
QImage decodeForThumbnail(const QString& path, QSize drawn, ThumbnailFiles* files, QString* error = nullptr,
                          int* frames = nullptr, const DecodeStop* stop = nullptr, MemoryBudget* budget = nullptr);
// The part `area` of a picture at its own size; a null image when it cannot be decoded alone.
QImage decodePart(const QString& path, QRect area);
// A PNG of the thumbnail cache no larger than `side` either way, and its text keys.
QImage readCachedThumbnail(const QString& path, int side, QHash<QString, QString>* texts, const DecodeStop* stop,
                           MemoryBudget* budget);

// `image` (no larger than a thumbnail of the cache's largest size) as a PNG file, written by a helper; empty when
// it could not be.
QByteArray encodePng(const QImage& image);

// The frames of an animation, each decoded by a helper that plays only this animation.
class RemoteFrames {
public:
    // A GIF's logical screen may have at most `maxPixels` pixels; the memory is the caller's to count.
    RemoteFrames(QString path, qint64 maxPixels, const DecodeStop& stop);
    ~RemoteFrames();
    AnimationFrame next();

private:
    const QString path_;
    const qint64 maxPixels_;
    const DecodeStop& stop_;
    void endHelper();
    std::unique_ptr<sandbox::HelperProcess> helper_;
    bool ended_ = false;
};

// The sentence a picture's place shows when its decoder failed: "the picture could not be decoded (why)".
QString notDecodedText(const QString& why);
// Why a picture whose decoding would take more than all decodings together may take is not decoded.
QString tooLargeForMemoryText(QSize size);

}  // namespace gb::qt
