// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/qt/image_files.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QSize>

namespace gb::test {

bool writePicture(const QString& path, int width, int height, const char* format, QColor colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image.save(path, format);
}

namespace {
void put16(QByteArray& out, int v) {
    out.append(char(v & 0xFF));
    out.append(char((v >> 8) & 0xFF));
}

// One frame of a single palette index. The LZW stream stays trivial: a clear code before every pair of pixels
// keeps the code width at 3 bits.
QByteArray frameData(int pixels, int index) {
    QByteArray bits;
    int acc = 0, nbits = 0;
    const auto code = [&](int c) {
        acc |= c << nbits;
        nbits += 3;
        while (nbits >= 8) {
            bits.append(char(acc & 0xFF));
            acc >>= 8;
            nbits -= 8;
        }
    };
    for (int i = 0; i < pixels; i += 2) {
        code(4);
        code(index);
        if (i + 1 < pixels) code(index);
    }
    code(5);
    if (nbits > 0) bits.append(char(acc & 0xFF));
    QByteArray out(1, char(2));
    for (int i = 0; i < bits.size(); i += 255) {
        const QByteArray block = bits.mid(i, 255);
        out.append(char(block.size())).append(block);
    }
    out.append(char(0));
    return out;
}

// A GIF whose logical screen is `screen`, of `frames` frames of `frame` size alternating red and blue, looping.
QByteArray gifBytes(QSize screen, QSize frame, int frames, int delayHundredths) {
    QByteArray gif("GIF89a");
    put16(gif, screen.width());
    put16(gif, screen.height());
    gif.append(char(0x80)).append(char(0)).append(char(0));
    gif.append("\xff\x00\x00\x00\x00\xff", 6);                                      // red, blue
    if (frames > 1) gif.append("\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00", 19);  // loop for ever
    for (int f = 0; f < frames; ++f) {
        gif.append("\x21\xf9\x04\x00", 4);
        put16(gif, delayHundredths);
        gif.append(char(0)).append(char(0));
        gif.append(char(0x2C));
        put16(gif, 0);
        put16(gif, 0);
        put16(gif, frame.width());
        put16(gif, frame.height());
        gif.append(char(0));
        gif.append(frameData(frame.width() * frame.height(), f % 2));
    }
    gif.append(char(0x3B));
    return gif;
}

QByteArray bmpHeaders(int width, int height, int bits, quint32 compression, quint32 pixelBytes, int colours) {
    QByteArray b("BM");
    const auto put32 = [&b](quint32 v) {
        for (int i = 0; i < 4; ++i) b.append(char((v >> (8 * i)) & 0xFF));
    };
    const quint32 offset = 54 + 4 * colours;
    put32(offset + pixelBytes);
    put32(0);
    put32(offset);
    put32(40);
    put32(static_cast<quint32>(width));
    put32(static_cast<quint32>(height));
    put16(b, 1);
    put16(b, bits);
    put32(compression);
    put32(pixelBytes);
    put32(2835);
    put32(2835);
    put32(static_cast<quint32>(colours));
    put32(0);
    return b;
}
}  // namespace

bool writeGif(const QString& path, int width, int height, int frames) {
    return writeBytes(path, gifBytes({width, height}, {width, height}, frames, 1));
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeTruncated(const QString& path, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(x * 7 % 256, y * 5 % 256, (x ^ y) % 256));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "JPG", 95)) return false;
    return writeBytes(path, bytes.left(bytes.size() / 2));
}

bool writeJpegHeader(const QString& path, int width, int height) {
    QByteArray b("\xff\xd8", 2);
    // Baseline frame header: precision 8, height, width, 3 components.
    b.append("\xff\xc0\x00\x11\x08", 5);
    b.append(char(height >> 8)).append(char(height & 0xFF)).append(char(width >> 8)).append(char(width & 0xFF));
    b.append("\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01", 10);
    b.append(QByteArray(32, '\x00'));
    return writeBytes(path, b);
}

bool writeJpegCoding(const QString& path, int width, int height, int marker, int precision) {
    if (!writePicture(path, width, height, "JPG", Qt::gray)) return false;
    QByteArray bytes = readBytes(path);
    const qsizetype frame = bytes.indexOf(QByteArray("\xff\xc0", 2));
    if (frame < 0) return false;
    bytes[frame + 1] = static_cast<char>(marker);
    bytes[frame + 4] = static_cast<char>(precision);
    return writeBytes(path, bytes);
}

bool writeScanBomb(const QString& path, int width, int height, int copies) {
    QImage flat(width, height, QImage::Format_RGB32);
    flat.fill(QColor(128, 128, 128));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(90);
    writer.setProgressiveScanWrite(true);
    if (!writer.write(flat)) return false;
    if (!bytes.endsWith(QByteArray("\xff\xd9", 2))) return false;
    // The scans: from each SOS marker to the next one (the last to the EOI). The smallest after the first is
    // repeated: a few bytes on disk, a pass over every block of the picture when decoded.
    QList<qsizetype> starts;
    for (qsizetype at = bytes.indexOf(QByteArray("\xff\xda", 2)); at >= 0;
         at = bytes.indexOf(QByteArray("\xff\xda", 2), at + 2))
        starts.append(at);
    starts.append(bytes.size() - 2);
    if (starts.size() < 3) return false;
    QByteArray smallest;
    for (qsizetype i = 1; i + 1 < starts.size(); ++i) {
        const QByteArray scan = bytes.mid(starts[i], starts[i + 1] - starts[i]);
        if (smallest.isEmpty() || scan.size() < smallest.size()) smallest = scan;
    }
    QByteArray bomb = bytes.left(bytes.size() - 2);
    for (int i = 0; i < copies; ++i) bomb.append(smallest);
    bomb.append("\xff\xd9", 2);
    return writeBytes(path, bomb);
}

bool writeGifScreenBomb(const QString& path, int width, int height, int frames) {
    return writeBytes(path, gifBytes({width, height}, {2, 1}, frames, 5));
}

bool writeBmpHeader(const QString& path, int width, int height) {
    return writeBytes(path, bmpHeaders(width, height, 24, 0, 64, 0) + QByteArray(64, '\x7f'));
}

bool writeRleBmpBomb(const QString& path, int width, int height) {
    QByteArray b = bmpHeaders(width, height, 8, 1, 2, 256);
    for (int i = 0; i < 256; ++i) b.append(char(i)).append(char(i)).append(char(i)).append(char(0));
    b.append("\x00\x01", 2);  // end of bitmap
    return writeBytes(path, b);
}

bool writeTopDownBmp(const QString& path, int width, int height) {
    const int stride = (width * 3 + 3) / 4 * 4;
    QByteArray b = bmpHeaders(width, -height, 24, 0, static_cast<quint32>(stride * height), 0);
    for (int y = 0; y < height; ++y) {
        QByteArray row;
        for (int x = 0; x < width; ++x)
            row.append(y < height / 2 ? QByteArray("\x00\x00\xff", 3) : QByteArray("\xff\x00\x00", 3));
        row.append(QByteArray(stride - width * 3, '\0'));
        b.append(row);
    }
    return writeBytes(path, b);
}

bool writeBrokenAnimatedGif(const QString& path, int width, int height) {
    if (!writeGif(path, width, height, 2)) return false;
    const QByteArray whole = readBytes(path);
    // Keep the first frame whole and a few bytes of the second.
    const int second = static_cast<int>(whole.lastIndexOf("\x21\xf9\x04"));
    return writeBytes(path, whole.left(second + 20));
}

}  // namespace gb::test
