// The Qt services against real files in a temporary folder.

#include "platform/qt/qt_services.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/qt/image_loader.h"

namespace gb::qt {
namespace {

std::string pathIn(const QTemporaryDir& dir, const QString& name) { return toStdString(dir.filePath(name)); }

// Qt writes no GIF: a one-colour GIF with a two-entry palette, its LZW stream kept trivial by a clear code
// before every pair of pixels.
void writeGif(const QString& path, int w, int h) {
    QByteArray gif("GIF89a");
    const auto put16 = [&gif](int v) {
        gif.append(char(v & 0xFF));
        gif.append(char((v >> 8) & 0xFF));
    };
    put16(w);
    put16(h);
    gif.append(char(0x80)).append(char(0)).append(char(0));
    gif.append("\xff\x00\x00\x00\x00\xff", 6);
    gif.append(char(0x2C));
    put16(0);
    put16(0);
    put16(w);
    put16(h);
    gif.append(char(0)).append(char(2));
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
    for (int i = 0; i < w * h; i += 2) {
        code(4);
        code(0);
        if (i + 1 < w * h) code(0);
    }
    code(5);
    if (nbits > 0) bits.append(char(acc & 0xFF));
    for (int i = 0; i < bits.size(); i += 255) {
        const QByteArray block = bits.mid(i, 255);
        gif.append(char(block.size())).append(block);
    }
    gif.append(char(0)).append(char(0x3B));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(gif);
}

void writeImage(const QString& path, int w, int h, const char* format, QColor colour = Qt::red) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(path, format)) << path.toStdString();
}

TEST(QtImageProbe, ReadsTheNaturalSizeOfEachTypeFromTheHeader) {
    QTemporaryDir dir;
    writeImage(dir.filePath("a.jpg"), 640, 480, "JPG");
    writeImage(dir.filePath("b.bmp"), 33, 17, "BMP");
    writeGif(dir.filePath("c.gif"), 20, 10);
    QtImageProbe probe;
    for (const auto& [name, w, h] : {std::tuple{"a.jpg", 640, 480}, {"b.bmp", 33, 17}, {"c.gif", 20, 10}}) {
        const auto info = probe.probe(pathIn(dir, name));
        EXPECT_TRUE(info.ok) << name << info.error;
        EXPECT_EQ(info.width, w) << name;
        EXPECT_EQ(info.height, h) << name;
    }
}

TEST(QtImageProbe, SaysWhyAFileCannotBeShown) {
    QTemporaryDir dir;
    QFile text(dir.filePath("notes.jpg"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("this is not a picture");
    text.close();
    QFile empty(dir.filePath("empty.jpg"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    QtImageProbe probe;
    for (const char* name : {"notes.jpg", "empty.jpg", "missing.jpg"}) {
        const auto info = probe.probe(pathIn(dir, name));
        EXPECT_FALSE(info.ok) << name;
        EXPECT_FALSE(info.error.empty()) << name;
    }
    EXPECT_NE(probe.probe(pathIn(dir, "missing.jpg")).error.find("does not exist"), std::string::npos);
}

TEST(QtFileSystem, ListsVisibleRegularFilesWithoutRegardToCase) {
    QTemporaryDir dir;
    for (const char* name : {"a.jpg", "B.JPG", "c.Jpg", ".hidden.jpg", "d.gif", "e.jpeg"}) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.jpg"));
    QtFileSystem fs;
    auto names = fs.listFiles(toStdString(dir.path()), "*.jpg");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"B.JPG", "a.jpg", "c.Jpg"}));
    EXPECT_EQ(fs.listFiles(toStdString(dir.path()), "*.*").size(), 5u);
    EXPECT_TRUE(fs.isFile(pathIn(dir, "a.jpg")));
    EXPECT_FALSE(fs.isFile(pathIn(dir, "folder.jpg")));
    EXPECT_TRUE(fs.isDirectory(pathIn(dir, "folder.jpg")));
}

TEST(ImageLoader, DecodesAtTheDrawnSizeUpright) {
    QTemporaryDir dir;
    writeImage(dir.filePath("big.jpg"), 1600, 1200, "JPG", Qt::blue);
    QString error;
    const QImage img = ImageLoader::decode(dir.filePath("big.jpg"), QSize(400, 300), &error);
    ASSERT_FALSE(img.isNull()) << error.toStdString();
    EXPECT_EQ(img.size(), QSize(400, 300));
    const QColor c = img.pixelColor(200, 150);
    EXPECT_LT(c.red(), 40);
    EXPECT_GT(c.blue(), 200);
    EXPECT_TRUE(ImageLoader::decode(dir.filePath("none.jpg"), QSize(10, 10), &error).isNull());
    EXPECT_FALSE(error.isEmpty());
}

}  // namespace
}  // namespace gb::qt
