// The Qt services against real files in a temporary folder.

#include "platform/qt/image/decoder.h"
#include "platform/qt/qt_services.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/qt/image/image_loader.h"
#include "tests/qt/image_files.h"

namespace gb::qt {
namespace {

std::string pathIn(const QTemporaryDir& dir, const QString& name) { return toStdString(dir.filePath(name)); }

void writeImage(const QString& path, int w, int h, const char* format, QColor colour = Qt::red) {
    ASSERT_TRUE(test::writePicture(path, w, h, format, colour)) << path.toStdString();
}

TEST(QtImageProbe, ReadsTheNaturalSizeOfEachTypeFromTheHeader) {
    QTemporaryDir dir;
    writeImage(dir.filePath("a.jpg"), 640, 480, "JPG");
    writeImage(dir.filePath("b.bmp"), 33, 17, "BMP");
    ASSERT_TRUE(test::writeGif(dir.filePath("c.gif"), 20, 10));
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
    const QImage img = decodeImage(dir.filePath("big.jpg"), QSize(400, 300), &error);
    ASSERT_FALSE(img.isNull()) << error.toStdString();
    EXPECT_EQ(img.size(), QSize(400, 300));
    const QColor c = img.pixelColor(200, 150);
    EXPECT_LT(c.red(), 40);
    EXPECT_GT(c.blue(), 200);
    EXPECT_TRUE(decodeImage(dir.filePath("none.jpg"), QSize(10, 10), &error).isNull());
    EXPECT_FALSE(error.isEmpty());
}

TEST(ImageLoader, PhotosStandUprightByTheirExifOrientation) {
    QTemporaryDir dir;
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < 20; ++y) image.setPixelColor(0, y, Qt::black);  // the left edge is black
    QImageWriter writer(dir.filePath("turned.jpg"), "jpeg");
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    ASSERT_TRUE(writer.write(image)) << writer.errorString().toStdString();

    QtImageProbe probe;
    const auto info = probe.probe(pathIn(dir, "turned.jpg"));
    EXPECT_EQ(info.width, 20);
    EXPECT_EQ(info.height, 40);
    const QImage upright = decodeImage(dir.filePath("turned.jpg"), QSize(20, 40));
    ASSERT_EQ(upright.size(), QSize(20, 40));
    EXPECT_LT(upright.pixelColor(10, 0).lightness(), 100);  // turned clockwise: the black edge is on top
}

TEST(ImageLoader, APhotoAboveQtsDefaultAllocationLimitIsShown) {
    // 8000 x 6000 (48 megapixels) needs 192 MB decoded, above Qt's default limit of 128 MB.
    QTemporaryDir dir;
    ASSERT_TRUE(test::writePicture(dir.filePath("48mp.jpg"), 8000, 6000, "JPG", Qt::darkGreen));
    QString error;
    const QImage full = decodeImage(dir.filePath("48mp.jpg"), QSize(8000, 6000), &error);
    EXPECT_EQ(full.size(), QSize(8000, 6000)) << error.toStdString();
    EXPECT_EQ(decodeImage(dir.filePath("48mp.jpg"), QSize(1000, 750)).size(), QSize(1000, 750));
}

TEST(ImageLoader, AnimatedGifsPlayAndStillOnesDoNot) {
    QTemporaryDir dir;
    ASSERT_TRUE(test::writeGif(dir.filePath("anim.gif"), 8, 6, 2));
    ASSERT_TRUE(test::writeGif(dir.filePath("still.gif"), 8, 6, 1));
    int frames = 0;
    EXPECT_FALSE(decodeImage(dir.filePath("anim.gif"), QSize(8, 6), nullptr, &frames).isNull());
    EXPECT_EQ(frames, 2);
    decodeImage(dir.filePath("still.gif"), QSize(8, 6), nullptr, &frames);
    EXPECT_EQ(frames, 1);

    ImageLoader loader;
    QSet<QRgb> seen;
    QObject::connect(&loader, &ImageLoader::ready, [&](const QString&) {
        const QImage img = loader.image(dir.filePath("anim.gif"), QSize(16, 12));
        if (!img.isNull()) seen.insert(img.pixel(4, 4) & 0xFFFFFF);
    });
    EXPECT_TRUE(loader.image(dir.filePath("anim.gif"), QSize(16, 12)).isNull());  // decoding in the background
    EXPECT_TRUE(QTest::qWaitFor([&] { return seen.size() >= 2; }, 5000)) << seen.size();
}

}  // namespace
}  // namespace gb::qt
