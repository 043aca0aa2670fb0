// SPDX-License-Identifier: GPL-3.0-or-later
// The image loader's caching and preloading, on real files: what is asked for ahead is used, what is no longer
// wanted is never decoded, and the pictures held stay within their bound.

#include "platform/qt/image/image_loader.h"

#include <gtest/gtest.h>
#include <QFileInfo>
#include <QImageWriter>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>

#include "platform/qt/byte_paths.h"
#include "tests/qt/image_files.h"

namespace gb::qt {
namespace {

constexpr QSize natural{400, 300};
constexpr qint64 pictureBytes = 4LL * 400 * 300;

struct ImageCache : ::testing::Test {
    QTemporaryDir dir;
    ImageLoader loader;

    void SetUp() override {
        for (int i = 0; i < 8; ++i) {
            ASSERT_TRUE(test::writePicture(path(i), natural.width(), natural.height(), "JPG", QColor(30 * i, 0, 0)));
            ASSERT_TRUE(know(path(i)));
        }
    }
    // Pictures are decoded once their header is known, as a page completes once it is.
    bool know(const QString& file) { return know(loader, file); }
    static bool know(ImageLoader& some, const QString& file) {
        return QTest::qWaitFor([&] { return some.probe(toStdString(file)).ok; }, 5000);
    }
    QString path(int i) const { return dir.filePath(QStringLiteral("p%1.jpg").arg(i)); }
    platform::PreloadRequest request(int i, QSize size = natural) const {
        return {toStdString(path(i)), size.width(), size.height()};
    }
    bool waitHeld(int i, QSize size = natural) {
        return QTest::qWaitFor([&] { return loader.holds(path(i), size); }, 5000);
    }
    // Occupies the only worker until release() so that what is asked meanwhile waits in the queue.
    QSemaphore gate;
    void blockWorkers() {
        loader.workers().setMaxThreadCount(1);
        loader.workers().start([this] { gate.acquire(); }, 100);
    }
    void release() { gate.release(); }
};

TEST_F(ImageCache, APreloadedPictureIsDrawnWithoutBeingDecodedAgain) {
    loader.preload({request(0), request(1, {200, 150}), request(2)});
    ASSERT_TRUE(waitHeld(1, {200, 150}));
    ASSERT_TRUE(waitHeld(2));
    const int decodes = loader.decodesStarted();
    EXPECT_EQ(decodes, 3);
    const QImage next = loader.image(path(1), {200, 150});
    ASSERT_FALSE(next.isNull());  // at once, from the cache
    EXPECT_EQ(next.size(), QSize(200, 150));
    EXPECT_EQ(qRed(next.pixel(100, 75)), 30);
    EXPECT_FALSE(loader.image(path(2), natural).isNull());
    EXPECT_EQ(loader.decodesStarted(), decodes);
}

TEST_F(ImageCache, WishesNoLongerWantedAreDroppedBeforeTheirDecodingStarts) {
    loader.preload({request(0)});
    ASSERT_TRUE(waitHeld(0));
    blockWorkers();
    loader.preload({request(0), request(1), request(2)});  // the user holds Enter: 1 and 2 wait for a worker
    loader.preload({request(0), request(3)});
    release();
    ASSERT_TRUE(waitHeld(3));
    QTest::qWait(100);
    EXPECT_FALSE(loader.holds(path(1), natural));
    EXPECT_FALSE(loader.holds(path(2), natural));
    EXPECT_EQ(loader.decodesStarted(), 2);  // 0 and 3 only
}

TEST_F(ImageCache, APictureAskedForWhileItsPreloadWaitsGoesFirst) {
    loader.preload({request(0)});
    ASSERT_TRUE(waitHeld(0));
    blockWorkers();
    loader.preload({request(0), request(1), request(2), request(3)});
    EXPECT_TRUE(loader.image(path(3), natural).isNull());  // the user jumped to 3: it is queued before 1 and 2
    QStringList order;
    QObject::connect(&loader, &ImageLoader::ready, [&](const QString& p) { order << QFileInfo(p).fileName(); });
    release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return order.size() == 3; }, 5000)) << order.join(' ').toStdString();
    EXPECT_EQ(order.front(), "p3.jpg");
}

// Full screen entered (or left, or another fit or ratio): the picture on show and its neighbours are decoded
// at the new size at once, and what was decoded at the size no longer drawn goes.
TEST_F(ImageCache, AfterAModeSwitchTheNextPictureIsPreloadedAtTheNewSizeAtOnce) {
    const QSize fitted{200, 150};
    loader.preload({request(0), request(1)});
    loader.image(path(0), natural);
    ASSERT_TRUE(waitHeld(1));
    loader.preload({request(0, fitted), request(1, fitted)});
    // When the picture on show is there, its neighbour is being decoded: no moment waited for.
    ASSERT_TRUE(waitHeld(0, fitted));
    EXPECT_TRUE(loader.holds(path(1), fitted) || loader.decoding(path(1), fitted));
    ASSERT_TRUE(waitHeld(1, fitted));
    EXPECT_FALSE(loader.holds(path(0), natural));
    EXPECT_FALSE(loader.holds(path(1), natural));
    EXPECT_EQ(loader.pictureBytes(), 2LL * 4 * fitted.width() * fitted.height());
}

TEST_F(ImageCache, ThePicturesHeldStayWithinTheBoundAndTheOneOnShowStays) {
    loader.setPictureLimit(3 * pictureBytes);
    for (int i = 0; i < 8; ++i) {
        // As the viewer walks: the picture on show first, then the next two and the one behind.
        std::vector<platform::PreloadRequest> wanted{request(i)};
        for (const int k : {i + 1, i + 2, i - 1})
            if (k >= 0 && k < 8) wanted.push_back(request(k));
        loader.preload(wanted);
        loader.image(path(i), natural);
        ASSERT_TRUE(waitHeld(i));
        QTest::qWait(50);
        EXPECT_LE(loader.pictureBytes(), 3 * pictureBytes) << "step " << i;
        EXPECT_TRUE(loader.holds(path(i), natural)) << "step " << i;
        if (i + 1 < 8) {
            EXPECT_TRUE(waitHeld(i + 1)) << "step " << i;  // the next one fits in the bound
        }
    }
}

TEST_F(ImageCache, AZoomedPictureCostsNoMoreThanThePictureAndThumbnailsLiveApart) {
    const QImage zoomed = [&] {
        loader.image(path(0), {1600, 1200});
        EXPECT_TRUE(waitHeld(0, {1600, 1200}));
        return loader.image(path(0), {1600, 1200});
    }();
    EXPECT_EQ(zoomed.size(), natural);  // the painter enlarges what is in view
    EXPECT_EQ(loader.pictureBytes(), pictureBytes);

    loader.setPictureLimit(pictureBytes);
    for (int i = 0; i < 8; ++i) loader.image(path(i), {50, 50}, true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return loader.thumbnailBytes() == 8 * 50 * 50 * 4; }, 5000));
    loader.image(path(1), natural);
    ASSERT_TRUE(waitHeld(1));
    for (int i = 0; i < 8; ++i)
        EXPECT_TRUE(loader.holds(path(i), {50, 50}, true)) << i;  // pictures do not push them out
}

// On a scaled screen, sizes come in logical pixels and are decoded in device pixels, never past the picture.
TEST_F(ImageCache, AScaledScreenGetsPicturesAndThumbnailsInDevicePixels) {
    struct Case {
        qreal ratio;
        QSize drawn, decoded;
        bool thumbnail;
    } cases[] = {
        {2.0, {150, 100}, {300, 200}, false},  // a fitted picture, twice as many pixels
        {2.0, {50, 50}, {100, 100}, true},     // a thumbnail, in the thumbnail store
        {2.0, {400, 300}, {400, 300}, false},  // shown at its own size: the painter enlarges it
        {1.5, {100, 80}, {150, 120}, false},  {1.0, {200, 150}, {200, 150}, false},
    };
    for (const Case& c : cases) {
        ImageLoader scaled;
        scaled.setDevicePixelRatio(c.ratio);
        ASSERT_TRUE(know(scaled, path(0)));
        scaled.image(path(0), c.drawn, c.thumbnail);
        ASSERT_TRUE(QTest::qWaitFor([&] { return scaled.holds(path(0), c.drawn, c.thumbnail); }, 5000)) << c.ratio;
        EXPECT_EQ(scaled.image(path(0), c.drawn, c.thumbnail).size(), c.decoded) << c.ratio << " " << c.drawn.width();
        const qint64 bytes = 4LL * c.decoded.width() * c.decoded.height();
        EXPECT_EQ(c.thumbnail ? scaled.thumbnailBytes() : scaled.pictureBytes(), bytes) << c.drawn.width();
    }
}

TEST_F(ImageCache, ThumbnailsInViewComeFirstAndARebuiltPageReusesWhatWasDecoded) {
    const QSize thumb(50, 50);
    QList<QPair<QString, QSize>> page;
    for (int i = 0; i < 8; ++i) page.append({path(i), thumb});
    blockWorkers();
    loader.fetchThumbnails(page);
    QTest::qWait(20);  // the page's thumbnails are queued in slices from the event loop
    EXPECT_TRUE(loader.image(path(6), thumb, true).isNull());  // in view: ahead of the others
    QStringList order;
    QObject::connect(&loader, &ImageLoader::ready, [&](const QString& p) { order << QFileInfo(p).fileName(); });
    release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return order.size() == 8; }, 5000)) << order.join(' ').toStdString();
    EXPECT_EQ(order.front(), "p6.jpg");
    EXPECT_EQ(loader.decodesStarted(), 8);

    // The page built again after a file left the queue: nothing is decoded twice.
    page.removeAt(3);
    loader.fetchThumbnails(page);
    QTest::qWait(100);
    for (const auto& [p, size] : page) EXPECT_FALSE(loader.image(p, size, true).isNull());
    EXPECT_EQ(loader.decodesStarted(), 8);
}

TEST_F(ImageCache, ALargePhotoAtFullSizeShowsThePartInViewFirstAndTheWholeOnlyIfTheUserStays) {
    const QSize large(1600, 1000);
    const QString stays = dir.filePath("stays.jpg"), left = dir.filePath("left.jpg");
    ASSERT_TRUE(test::writePicture(stays, large.width(), large.height(), "JPG", QColor(0, 200, 0)));
    ASSERT_TRUE(test::writePicture(left, large.width(), large.height(), "JPG", QColor(0, 0, 200)));
    ASSERT_TRUE(know(stays) && know(left));
    const QRect view(100, 50, 400, 300);

    EXPECT_TRUE(loader.image(left, large).isNull());
    EXPECT_TRUE(loader.part(left, large, view).image.isNull());  // asked for
    EXPECT_TRUE(loader.image(stays, large).isNull());            // the user moved on at once
    ImageLoader::Part part;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !(part = loader.part(stays, large, view)).image.isNull(); }, 5000));
    EXPECT_TRUE(part.area.contains(view));
    EXPECT_EQ(part.image.size(), part.area.size());
    EXPECT_GT(qGreen(part.image.pixel(view.topLeft() - part.area.topLeft())), 150);
    EXPECT_EQ(loader.decodesStarted(), 0);  // nothing decoded whole yet

    ASSERT_TRUE(QTest::qWaitFor([&] { return loader.holds(stays, large); }, 5000));
    QTest::qWait(400);
    EXPECT_FALSE(loader.holds(left, large));
    EXPECT_EQ(loader.decodesStarted(), 1);
    EXPECT_TRUE(loader.part(stays, large, view).image.isNull());  // the whole is there: no parts any more
}

TEST_F(ImageCache, AProgressiveJpegIsDecodedWholeAtOnceForAPartOfItCostsAsMuch) {
    const QSize large(1600, 1000);
    const QString progressive = dir.filePath("progressive.jpg");
    QImage picture(large, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    QImageWriter writer(progressive, "jpeg");
    writer.setProgressiveScanWrite(true);
    ASSERT_TRUE(writer.write(picture));
    ASSERT_TRUE(know(progressive));

    EXPECT_TRUE(loader.image(progressive, large).isNull());
    // Unlike a baseline JPEG (above), no part shows before the whole picture is there.
    bool partShown = false;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            partShown = partShown || !loader.part(progressive, large, QRect(0, 0, 400, 300)).image.isNull();
            return loader.holds(progressive, large);
        },
        5000));
    EXPECT_FALSE(partShown);
    EXPECT_EQ(loader.decodesStarted(), 1);
}

TEST_F(ImageCache, AnAnimatedGifPlaysFrameByFrameOffTheWindowsThread) {
    ASSERT_TRUE(test::writeGif(dir.filePath("anim.gif"), 8, 6, 2));
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
