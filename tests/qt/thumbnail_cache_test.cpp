// The desktop's shared thumbnail cache: the keys other programs read, the atomic write, a changed picture made
// again, failures recorded, and nothing written for the cache's own files.

#include "platform/qt/image/thumbnail_cache.h"

#include <gtest/gtest.h>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <utime.h>

#include "tests/qt/image_files.h"

namespace gb::qt {
namespace {

struct ThumbnailCacheTest : ::testing::Test {
    QTemporaryDir dir;
    ThumbnailCache cache{dir.filePath("cache/thumbnails")};
    QString file(const QString& name) const { return dir.filePath(name); }
    QImage thumbnail(const QString& path, QSize size = {50, 40}, QString* error = nullptr) {
        return decodeThumbnail(cache, path, size, error, nullptr, nullptr, nullptr);
    }
    void setMtime(const QString& path, time_t when) {
        const utimbuf times{when, when};
        ASSERT_EQ(utime(QFile::encodeName(path).constData(), &times), 0);
    }
};

TEST_F(ThumbnailCacheTest, TheUriAndItsMd5NameAreThoseGlibAndOtherProgramsUse) {
    struct Case {
        QString path, uri;
    } cases[] = {
        {"/home/ann/photo.jpg", "file:///home/ann/photo.jpg"},
        {"/tmp/a b&c(1)+d,e;f=g:h@i!j$k'l*m~n.jpg", "file:///tmp/a%20b&c(1)+d,e;f=g:h@i!j$k'l*m~n.jpg"},
        {"/tmp/été #1?%.jpg", "file:///tmp/%C3%A9t%C3%A9%20%231%3F%25.jpg"},
    };
    for (const Case& c : cases) EXPECT_EQ(ThumbnailCache::uriOf(c.path), c.uri) << c.path.toStdString();
    const QByteArray md5 = QCryptographicHash::hash("file:///home/ann/photo.jpg", QCryptographicHash::Md5).toHex();
    EXPECT_EQ(cache.fileFor("/home/ann/photo.jpg", "normal"), cache.root() + "/normal/" + md5 + ".png");
}

TEST_F(ThumbnailCacheTest, ADecodedThumbnailIsKeptWithItsKeysAndUsedNextTime) {
    const QString huge = file("huge.jpg"), big = file("big.jpg"), small = file("small.jpg");
    ASSERT_TRUE(test::writePicture(huge, 2400, 1600, "JPG", QColor(0, 0, 200)));
    ASSERT_TRUE(test::writePicture(big, 1000, 800, "JPG", QColor(0, 0, 200)));
    ASSERT_TRUE(test::writePicture(small, 200, 160, "JPG", QColor(0, 200, 0)));
    setMtime(big, 1700000000);
    EXPECT_EQ(thumbnail(big).size(), QSize(50, 40));
    EXPECT_EQ(thumbnail(huge, {60, 40}).size(), QSize(60, 40));
    EXPECT_EQ(thumbnail(small).size(), QSize(50, 40));

    struct Kept {
        QString path, folder;
        QSize size;
    } kept[] = {{big, "normal", {128, 102}},
                {small, "normal", {128, 102}},
                {huge, "normal", {128, 85}},
                {huge, "large", {256, 170}}};  // decoded at 1/8 (300 x 200): a large one costs nothing more
    for (const Kept& k : kept) {
        const QString name = cache.fileFor(k.path, k.folder);
        const QImage read(name);
        EXPECT_EQ(read.text("Thumb::URI"), ThumbnailCache::uriOf(k.path)) << name.toStdString();
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(k.path).constData(), &st), 0);
        EXPECT_EQ(read.text("Thumb::MTime"), QString::number(st.st_mtime));
        EXPECT_EQ(read.size(), k.size);
        EXPECT_EQ(QFile::permissions(name) & 0x0077, 0) << "readable by others";  // 0600
    }
    // Decoded at 1/4 (250 x 200), too small for a large one; so is the small picture.
    EXPECT_FALSE(QFile::exists(cache.fileFor(big, "large")));
    EXPECT_FALSE(QFile::exists(cache.fileFor(small, "large")));

    // Next time it is read from the cache: the kept file is what comes back, not the picture.
    QImage marked(128, 102, QImage::Format_RGB32);
    marked.fill(Qt::red);  // what the cache holds, not what the picture is
    marked.setText("Thumb::URI", ThumbnailCache::uriOf(big));
    marked.setText("Thumb::MTime", "1700000000");
    ASSERT_TRUE(marked.save(cache.fileFor(big, "normal"), "png"));
    EXPECT_EQ(thumbnail(big).pixelColor(25, 20), QColor(Qt::red));
    // No file is left half-written or under a temporary name.
    EXPECT_EQ(QDir(cache.root() + "/normal").entryList(QDir::Files).size(), 3);
    EXPECT_EQ(QDir(cache.root() + "/large").entryList(QDir::Files).size(), 1);
}

TEST_F(ThumbnailCacheTest, APictureChangedSinceItsThumbnailWasKeptIsMadeAgain) {
    const QString path = file("p.jpg");
    ASSERT_TRUE(test::writePicture(path, 400, 320, "JPG", QColor(0, 0, 200)));
    setMtime(path, 1700000000);
    ASSERT_TRUE(thumbnail(path).pixelColor(25, 20).blue() > 150);
    ASSERT_TRUE(test::writePicture(path, 400, 320, "JPG", QColor(200, 0, 0)));
    setMtime(path, 1700000100);
    EXPECT_TRUE(cache.find(path).isNull());
    EXPECT_GT(thumbnail(path).pixelColor(25, 20).red(), 150);
    EXPECT_EQ(QImage(cache.fileFor(path, "normal")).text("Thumb::MTime"), "1700000100");
}

TEST_F(ThumbnailCacheTest, AFailureIsRecordedForTheFileAsItIsAndNotTriedAgain) {
    const QString path = file("broken.jpg");
    QFile broken(path);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write(QByteArray("\xFF\xD8\xFF\xE0 this is no picture", 24));
    broken.close();
    QString error;
    EXPECT_TRUE(thumbnail(path, {50, 40}, &error).isNull());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(cache.failedBefore(path));
    EXPECT_TRUE(QFile::exists(cache.fileFor(path, "fail/glimmerbox-1.0")));
    EXPECT_FALSE(QFile::exists(cache.fileFor(path, "normal")));
    // Repaired (a new modification time): tried again.
    ASSERT_TRUE(test::writePicture(path, 100, 80, "JPG", QColor(0, 200, 0)));
    setMtime(path, 1700000200);
    EXPECT_FALSE(cache.failedBefore(path));
    EXPECT_FALSE(thumbnail(path).isNull());
}

TEST_F(ThumbnailCacheTest, TheCachesOwnFilesAreShownButNeverThumbnailedIntoIt) {
    ASSERT_TRUE(QDir().mkpath(cache.root() + "/normal"));
    const QString inside = cache.root() + "/normal/0123.png";
    ASSERT_TRUE(test::writePicture(inside, 128, 100, "PNG", QColor(0, 0, 200)));
    EXPECT_EQ(thumbnail(inside).size(), QSize(50, 40));
    EXPECT_EQ(QDir(cache.root() + "/normal").entryList(QDir::Files), QStringList{"0123.png"});
    EXPECT_FALSE(QFile::exists(cache.root() + "/large"));
    EXPECT_TRUE(cache.covers(cache.root() + "/large/x.png"));
    EXPECT_FALSE(cache.covers(cache.root() + "-other/x.png"));
}

}  // namespace
}  // namespace gb::qt
