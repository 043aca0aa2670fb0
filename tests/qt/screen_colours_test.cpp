// SPDX-License-Identifier: GPL-3.0-or-later
// A photo with an embedded Display P3 profile (what phones write) is drawn in the sRGB colours that an independent
// colour engine (ImageMagick with Little CMS) gives for it, whichever way it is decoded; without the profile the
// same pixels are drawn as they are.

#include <gtest/gtest.h>
#include <QColorSpace>
#include <QImageWriter>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "app/form1.h"
#include "platform/qt/byte_paths.h"
#include "platform/qt/image/image_loader.h"
#include "platform/qt/image/sandbox/remote_decoding.h"
#include "queue/open_path.h"
#include "tests/qt/on_screen.h"

namespace gb::qt {
namespace {

// Left half a saturated red, right half a muted one that sRGB holds without clipping (so a picture left in its
// P3 values would be told apart), each as the file stores it.
const QColor red(230, 20, 25), muted(200, 90, 70);

bool writePhoto(const QString& path, QSize size, bool profiled) {
    QImage photo(size, QImage::Format_RGB32);
    QPainter painter(&photo);
    painter.fillRect(QRect(0, 0, size.width() / 2, size.height()), red);
    painter.fillRect(QRect(size.width() / 2, 0, size.width() - size.width() / 2, size.height()), muted);
    painter.end();
    if (profiled) photo.setColorSpace(QColorSpace::DisplayP3);
    QImageWriter writer(path, "jpeg");
    writer.setQuality(100);
    return writer.write(photo);
}

// The file's colours in sRGB, as ImageMagick converts them through its embedded profile (Debian's own convert,
// not a stand-in on PATH; sRGB.icc from icc-profiles-free).
QImage independentlyConverted(const QString& file, const QString& out) {
    QProcess convert;
    convert.start("/usr/bin/convert", {file, "-profile", "/usr/share/color/icc/sRGB.icc", out});
    if (!convert.waitForFinished(30000) || convert.exitCode() != 0) return {};
    return QImage(out);
}

bool near(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) <= 3 && std::abs(a.green() - b.green()) <= 3 &&
           std::abs(a.blue() - b.blue()) <= 3;
}

std::string text(QColor c) {
    return std::to_string(c.red()) + "," + std::to_string(c.green()) + "," + std::to_string(c.blue());
}

TEST(ScreenColours, AProfiledPhotoIsDrawnInSrgbWhicheverWayItIsDecodedAndAnUnprofiledOneIsLeftAlone) {
    QTemporaryDir dir;
    const QSize size(1600, 800);  // over a megapixel: at 100 % its part in view is decoded first
    const QString p3 = dir.filePath("p3.jpg"), plain = dir.filePath("plain.jpg");
    ASSERT_TRUE(writePhoto(p3, size, true));
    ASSERT_TRUE(writePhoto(plain, size, false));
    const QImage expected = independentlyConverted(p3, dir.filePath("expected.png"));
    ASSERT_FALSE(expected.isNull()) << "ImageMagick's convert with lcms is needed (scripts/install-deps.sh --test)";
    const QImage stored = QImage(plain);  // the values in the file, as decoded with no conversion
    const QPoint left(size.width() / 4, size.height() / 2), right(3 * size.width() / 4, size.height() / 2);
    // The test means something only if the conversion moves the colours.
    ASSERT_GT(std::abs(expected.pixelColor(right).red() - stored.pixelColor(right).red()), 10);

    ImageLoader loader;
    const auto partOf = [&](const QString& file) {
        ImageLoader::Part part;
        (void)QTest::qWaitFor(
            [&] { return !(part = loader.part(file, size, QRect(QPoint(0, 0), size))).image.isNull(); }, 5000);
        // Back into the whole picture's coordinates, for the same points to be read.
        QImage whole(size, QImage::Format_RGB32);
        whole.fill(Qt::black);
        QPainter(&whole).drawImage(part.area.topLeft(), part.image);
        return whole;
    };
    const struct {
        const char* how;
        std::function<QImage(const QString&)> decode;
        int scale;  // the decoded picture is this much smaller
    } ways[] = {
        {"whole, at 100 %", [&](const QString& f) { return decodeImage(f, size); }, 1},
        {"reduced, fitted to a screen", [&](const QString& f) { return decodeImage(f, size / 4); }, 4},
        {"the part in view first", partOf, 1},
    };
    for (const auto& way : ways) {
        const QImage profiled = way.decode(p3), unprofiled = way.decode(plain);
        ASSERT_FALSE(profiled.isNull()) << way.how;
        ASSERT_FALSE(unprofiled.isNull()) << way.how;
        for (const QPoint at : {left, right}) {
            const QPoint there = at / way.scale;
            EXPECT_TRUE(near(profiled.pixelColor(there), expected.pixelColor(at)))
                << way.how << ": " << text(profiled.pixelColor(there)) << " drawn, lcms gives "
                << text(expected.pixelColor(at));
            EXPECT_TRUE(near(unprofiled.pixelColor(there), stored.pixelColor(at)))
                << way.how << ", no profile: " << text(unprofiled.pixelColor(there)) << " against "
                << text(stored.pixelColor(at));
        }
    }

    // And on the screen: the main window's image page (narrower than the photo) shows the converted red.
    test::OnScreen screen;
    openFromCommandLine(screen.form, toStdString(p3));
    QWidget* page = screen.imagePage();
    QImage shot;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return near((shot = page->grab().toImage()).pixelColor(page->rect().center()), expected.pixelColor(left));
        },
        5000))
        << text(shot.pixelColor(page->rect().center())) << " drawn, lcms gives " << text(expected.pixelColor(left));
}

}  // namespace
}  // namespace gb::qt
