#include "tests/qt/image_files.h"

#include <QByteArray>
#include <QFile>
#include <QImage>

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
}  // namespace

bool writeGif(const QString& path, int width, int height, int frames) {
    QByteArray gif("GIF89a");
    put16(gif, width);
    put16(gif, height);
    gif.append(char(0x80)).append(char(0)).append(char(0));
    gif.append("\xff\x00\x00\x00\x00\xff", 6);  // red, blue
    if (frames > 1) gif.append("\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00", 19);  // loop for ever
    for (int f = 0; f < frames; ++f) {
        gif.append("\x21\xf9\x04\x00", 4);
        put16(gif, 1);  // 10 ms
        gif.append(char(0)).append(char(0));
        gif.append(char(0x2C));
        put16(gif, 0);
        put16(gif, 0);
        put16(gif, width);
        put16(gif, height);
        gif.append(char(0));
        gif.append(frameData(width * height, f % 2));
    }
    gif.append(char(0x3B));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(gif) == gif.size();
}

}  // namespace gb::test
