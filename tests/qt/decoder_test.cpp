// SPDX-License-Identifier: GPL-3.0-or-later
// Reading picture files: what the header says of each kind of file, and what decoding it at a size gives.

#include "platform/qt/image/sandbox/remote_decoding.h"

#include <gtest/gtest.h>
#include <QImageWriter>
#include <QTemporaryDir>
#include <limits>

#include "platform/qt/byte_paths.h"
#include "tests/qt/image_files.h"

namespace gb::qt {
namespace {

TEST(Decoder, EachFileGivesItsUprightSizeOrSaysWhyItCannotBeShown) {
    QTemporaryDir dir;
    const auto at = [&](const char* name) { return dir.filePath(name); };
    ASSERT_TRUE(test::writePicture(at("photo.jpg"), 1600, 1200, "JPG", Qt::blue));
    ASSERT_TRUE(test::writePicture(at("odd.bmp"), 33, 17, "BMP", Qt::red));
    ASSERT_TRUE(test::writeGif(at("anim.gif"), 8, 6, 2));
    ASSERT_TRUE(test::writeTopDownBmp(at("top down.bmp"), 240, 160));
    // 8000 x 6000 needs 192 MB decoded, above Qt's default limit of 128 MB: it is shown all the same.
    ASSERT_TRUE(test::writePicture(at("48mp.jpg"), 8000, 6000, "JPG", Qt::darkGreen));
    QImage edge(40, 20, QImage::Format_RGB32);
    edge.fill(Qt::white);
    for (int y = 0; y < 20; ++y) edge.setPixelColor(0, y, Qt::black);  // the left edge is black
    QImageWriter turned(at("turned.jpg"), "jpeg");
    turned.setTransformation(QImageIOHandler::TransformationRotate90);
    ASSERT_TRUE(turned.write(edge));
    ASSERT_TRUE(test::writeBytes(at("notes.jpg"), "this is not a picture"));
    // Headers that claim more than any screen: refused before a pixel is decoded.
    ASSERT_TRUE(test::writeGifScreenBomb(at("screen.gif"), 65535, 65535, 2));
    ASSERT_TRUE(test::writeBmpHeader(at("huge.bmp"), 100000, 100000));
    ASSERT_TRUE(test::writeJpegHeader(at("huge.jpg"), 65000, 65000));
    // Codings the JPEG decoder does not read: said for what they are.
    ASSERT_TRUE(test::writeJpegCoding(at("twelve bit.jpg"), 64, 48, 0xC1, 12));
    ASSERT_TRUE(test::writeJpegCoding(at("lossless.jpg"), 64, 48, 0xC3, 8));
    ASSERT_TRUE(test::writeJpegCoding(at("hierarchical.jpg"), 64, 48, 0xC5, 8));
    ASSERT_TRUE(test::writeJpegCoding(at("damaged.jpg"), 64, 48, 0xC0, 3));
    ASSERT_TRUE(test::writeBmpHeader(at("lowest.bmp"), 10, std::numeric_limits<int>::min()));
    // A picture of no pixels is none (found by the header fuzzer).
    ASSERT_TRUE(test::writeBytes(at("empty.gif"),
                                 QByteArray::fromBase64("R0lGODlh+P/5//AAAAAA/wAAACH5BAAAAAAALAAGAAAnPwAAqQ==")));

    // clang-format off
    struct Row {
        const char* name;
        const char* probed;  // "W x H", or the start of the reason
        QSize drawn;
        int frames;
        QPoint spot;  // a pixel of the decoded picture and its colour
        QColor colour;
        const char* decodeError;
    } rows[] = {
        {"photo.jpg", "1600 x 1200", {400, 300}, 1, {200, 150}, Qt::blue, ""},
        {"odd.bmp", "33 x 17", {33, 17}, 1, {5, 5}, Qt::red, ""},
        {"anim.gif", "8 x 6", {8, 6}, 2, {4, 4}, Qt::red, ""},
        {"top down.bmp", "240 x 160", {240, 160}, 1, {120, 150}, Qt::blue, ""},
        {"48mp.jpg", "8000 x 6000", {8000, 6000}, 1, {10, 10}, Qt::darkGreen, ""},
        {"turned.jpg", "20 x 40", {20, 40}, 1, {10, 0}, Qt::black, ""},  // turned clockwise: the edge on top
        {"notes.jpg", "This is not a picture that can be shown: ", {50, 50}, 0, {}, {}, "?"},
        {"missing.jpg", "The file does not exist (any more).", {50, 50}, 0, {}, {}, "?"},
        {"screen.gif", "The picture is too large to show: 65535 x 65535 pixels.", {50, 50}, 0, {}, {},
         "the picture is too large to show: 65535 x 65535 pixels"},
        {"huge.bmp", "The picture is too large to show: 100000 x 100000 pixels.", {2000, 2000}, 0, {}, {}, "?"},
        {"huge.jpg", "The picture is too large to show: 65000 x 65000 pixels.", {2000, 2000}, 0, {}, {}, "?"},
        {"twelve bit.jpg", "This is a 12-bit JPEG, which cannot be shown.", {64, 48}, 0, {}, {}, "?"},
        {"lossless.jpg", "This is a lossless JPEG, which cannot be shown.", {64, 48}, 0, {}, {}, "?"},
        {"hierarchical.jpg", "This is a hierarchical JPEG, which cannot be shown.", {64, 48}, 0, {}, {}, "?"},
        // A precision no JPEG has is damage: no kind is named for it.
        {"damaged.jpg", "This is not a picture that can be shown: its header cannot be read as a picture.", {64, 48},
         0, {}, {}, "?"},
        {"lowest.bmp", "The picture is too large to show: 10 x 2147483647 pixels.", {50, 50}, 0, {}, {}, "?"},
        {"empty.gif", "The picture is too large to show: 65528 x 65529 pixels.", {50, 50}, 0, {}, {}, "?"},
    };
    // clang-format on
    QtImageProbe probe;
    for (const Row& r : rows) {
        const platform::ImageInfo info = probe.probe(toStdString(at(r.name)));
        const std::string probed =
            info.ok ? std::to_string(info.width) + " x " + std::to_string(info.height) : info.error;
        EXPECT_EQ(probed.rfind(r.probed, 0), 0u) << r.name << ": " << probed;
        QString error;
        int frames = 0;
        const QImage image = decodeImage(at(r.name), r.drawn, &error, &frames);
        if (r.frames == 0) {
            EXPECT_TRUE(image.isNull()) << r.name;
            EXPECT_FALSE(error.isEmpty()) << r.name;
            if (std::string(r.decodeError) != "?") {
                EXPECT_EQ(error.toStdString(), r.decodeError);
            }
            continue;
        }
        ASSERT_EQ(image.size(), r.drawn) << r.name << ": " << error.toStdString();
        EXPECT_EQ(frames, r.frames) << r.name;
        const QColor c = image.pixelColor(r.spot);
        EXPECT_LT(std::abs(c.red() - r.colour.red()) + std::abs(c.green() - r.colour.green()) +
                      std::abs(c.blue() - r.colour.blue()),
                  150)
            << r.name << " " << c.name().toStdString();
    }
}

}  // namespace
}  // namespace gb::qt
