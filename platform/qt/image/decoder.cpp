// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/image/decoder.h"

#include <QImageIOHandler>
#include <QImageReader>

#include <algorithm>

#include "platform/qt/image/header_facts.h"
#include "platform/qt/image/screen_colours.h"
#include "platform/qt/logging.h"

namespace gb::qt {

QSize uprightSize(QImageReader& reader) {
    QSize size = reader.size();
    // A BMP stored top to bottom has a negative height in its header, which Qt 6.4 passes on as it is.
    if (size.height() < 0 && size.width() > 0 && reader.format() == "bmp") size.setHeight(-size.height());
    if (reader.transformation() & QImageIOHandler::TransformationRotate90) size.transpose();
    return size;
}

// What the decoder draws on: a GIF's frames on its logical screen, which may be larger than its first frame.
QSize decoderCanvas(const QByteArray& head, QSize natural) {
    if (!head.startsWith("GIF8")) return natural;
    return natural.expandedTo(claimedSize(head));
}

bool tooLarge(QSize size) { return static_cast<double>(size.width()) * size.height() > maxPicturePixels; }

QString tooLargeText(QSize canvas) {
    return QStringLiteral("the picture is too large to show: %1 x %2 pixels").arg(canvas.width()).arg(canvas.height());
}

Header readHeader(QIODevice& file) {
    Header h;
    const QByteArray head = file.peek(64 * 1024);
    QImageReader reader(&file);
    reader.setAutoTransform(true);
    h.size = uprightSize(reader);
    h.canvas = decoderCanvas(head, h.size);
    h.partial = reader.transformation() == QImageIOHandler::TransformationNone && reader.format() == "jpeg" &&
                !isProgressiveJpeg(head);
    const auto tooLargeSentence = [](QSize size) {
        QString text = tooLargeText(size);
        text[0] = text[0].toUpper();
        return text + '.';
    };
    if (!h.size.isValid() || h.size.isEmpty()) {
        // Qt says "Unknown error" for a header it refuses (a bomb, a lie, a JPEG coding its decoder does not
        // read): the file's own header tells what it is.
        const QString kind = unreadJpegKind(head);
        const QSize claimed = claimedSize(head);
        if (!kind.isEmpty()) {
            h.error = QStringLiteral("This is %1, which cannot be shown.").arg(kind);
        } else if (claimed.isValid() && tooLarge(claimed)) {
            h.error = tooLargeSentence(claimed);
        } else {
            const QString reason = reader.error() == QImageReader::UnknownError
                                       ? QStringLiteral("its header cannot be read as a picture")
                                       : reader.errorString();
            h.error = QStringLiteral("This is not a picture that can be shown: %1.").arg(reason);
        }
        return h;
    }
    // A header can claim any size; what could not be decoded within the allocation limit is not tried. For a
    // GIF that is its screen, which the decoder allocates whatever the size of its frames.
    if (tooLarge(h.canvas)) h.error = tooLargeSentence(h.canvas);
    return h;
}

platform::ImageInfo Header::info() const {
    platform::ImageInfo info;
    info.ok = error.isEmpty() && !size.isEmpty();
    if (info.ok) {
        info.width = size.width();
        info.height = size.height();
    }
    info.error = error.toStdString();
    return info;
}

// Whether the JPEG whose start is `head` stores its picture in several passes: a part of such a file costs a
// decoding of the whole, so it is not shown in parts.
bool isProgressiveJpeg(const QByteArray& head) {
    const auto frame = jpegFrame(head);
    return frame && frame->progressive();
}

qint64 decodeBytes(QSize natural, QSize size, bool reduced, bool progressive) {
    const qint64 wholePixels = static_cast<qint64>(natural.width()) * natural.height();
    const qint64 drawnPixels = static_cast<qint64>(size.width()) * size.height();
    // Reduced decoding gives at most twice the drawn size each way before the final scaling; a progressive JPEG
    // keeps the coefficients of the whole picture (up to three components of two bytes a pixel).
    qint64 bytes = 4 * (reduced ? 4 * drawnPixels : wholePixels) + 4 * drawnPixels;
    if (progressive) bytes += 6 * wholePixels;
    return bytes;
}

QImage decodeImage(QIODevice& file, QSize size, QString* error, int* frames, const DecodeHooks& hooks) {
    const QByteArray head = file.peek(64 * 1024);
    QImageReader reader(&file);
    reader.setAutoTransform(true);
    const QSize natural = uprightSize(reader);
    const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
    // A header that claims more than can ever be shown is not decoded at all, not even reduced.
    const QSize canvas = decoderCanvas(head, natural.isValid() ? natural : size);
    if (tooLarge(canvas)) {
        if (error) *error = tooLargeText(canvas);
        return {};
    }
    if (frames) *frames = reader.supportsAnimation() ? std::max(1, reader.imageCount()) : 1;
    // Reduced decoding (the JPEG DCT scaling) when the picture is drawn smaller than it is.
    const bool reduced = natural.isValid() && size.width() < natural.width() && size.height() < natural.height() &&
                         reader.supportsOption(QImageIOHandler::ScaledSize);
    if (reduced) reader.setScaledSize(turned ? size.transposed() : size);
    const bool progressive = reader.format() == "jpeg" && isProgressiveJpeg(head);
    if (hooks.takeMemory && !hooks.takeMemory(decodeBytes(canvas, size, reduced, progressive), canvas)) {
        if (error) *error = QStringLiteral("not wanted any more");
        return {};
    }
    QImage image;
    // A large JPEG at full size is decoded straight into the memory it is kept in (the decoder fills a blank
    // image of its size).
    if (hooks.blank && !reduced && reader.format() == "jpeg" &&
        static_cast<qint64>(natural.width()) * natural.height() >= largePixels)
        image = hooks.blank(reader.size(), reader.imageFormat());
    if (!reader.read(&image)) image = QImage();
    if (!image.isNull() && image.size() != size) {
        // Smooth scaling turns a palette picture into 4 bytes a pixel first: one far larger than drawn is first
        // brought down to four times the drawn size, keeping its palette (a huge RLE BMP would cost 4 bytes a
        // pixel of its whole claimed size otherwise).
        const QSize quadruple = size * 4;
        if (image.colorCount() > 0 && image.width() > quadruple.width() && image.height() > quadruple.height())
            image = image.scaled(quadruple, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    toScreenColours(image);
    if (image.isNull()) {
        if (error) *error = reader.errorString();
        qCWarning(lcGlimmerbox) << "cannot decode:" << reader.errorString();
        return {};
    }
    return image;
}

QString tooSlowText() { return QStringLiteral("it takes longer than %1 seconds to decode").arg(decodeSeconds); }

QImage decodePart(QIODevice& file, QRect area, const DecodeHooks& hooks) {
    QImageReader reader(&file);
    // The decoder keeps a row of the whole width besides the part.
    const QSize whole = reader.size();
    const qint64 bytes = 4LL * area.width() * area.height() + 4LL * std::max(0, whole.width()) * 16;
    if (hooks.takeMemory && !hooks.takeMemory(bytes, whole)) return {};
    reader.setClipRect(area);
    // A JPEG's part is decoded straight into the memory it is handed over in, as a whole picture is.
    QImage image;
    if (hooks.blank && reader.format() == "jpeg") image = hooks.blank(area.size(), reader.imageFormat());
    if (!reader.read(&image) || image.size() != area.size()) return {};
    toScreenColours(image);  // as the whole will be
    return image;
}

}  // namespace gb::qt
