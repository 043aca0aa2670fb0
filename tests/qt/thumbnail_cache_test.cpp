// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's shared thumbnail cache: the keys other programs read (as plain text), the atomic write, any size
// other programs keep read smallest first, cache files read as warily as pictures, folders others can write to
// left alone, a changed picture made again, failures recorded, and nothing written for the cache's own files.

#include "platform/qt/image/thumbnail_cache.h"

#include <gtest/gtest.h>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtEndian>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <future>
#include <iostream>
#include <map>
#include <vector>

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

time_t mtimeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mtime : 0;
}

// A thumbnail of `path` in `folder` of `cache` as another program keeps it (a long URI goes in a compressed
// zTXt chunk, as Qt and KDE write it); `current` false gives it the time of an older version of the picture.
bool keep(const ThumbnailCache& cache, const QString& path, const QString& folder, QSize size, QColor colour,
          bool current = true) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    image.setText("Thumb::URI", ThumbnailCache::uriOf(path));
    image.setText("Thumb::MTime", QString::number(mtimeOf(path) - (current ? 0 : 1)));
    const QString dir = cache.root() + '/' + folder;
    return QDir().mkpath(dir) &&
           QFile::setPermissions(cache.root(),
                                 QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner) &&
           QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner) &&
           image.save(cache.fileFor(path, folder), "png");
}

bool near(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) < 40 && std::abs(a.green() - b.green()) < 40 &&
           std::abs(a.blue() - b.blue()) < 40;
}

struct Chunk {
    QByteArray type, data;
};
std::vector<Chunk> chunksOf(const QByteArray& png) {
    std::vector<Chunk> chunks;
    for (qsizetype at = 8; at + 12 <= png.size();) {
        const auto byte = [&](qsizetype i) { return static_cast<qsizetype>(static_cast<unsigned char>(png[at + i])); };
        const qsizetype length = byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
        chunks.push_back({png.mid(at + 4, 4), png.mid(at + 8, length)});
        at += length + 12;
    }
    return chunks;
}

QByteArray pngChunk(const QByteArray& type, const QByteArray& data) {
    QByteArray out(4, '\0');
    qToBigEndian(static_cast<quint32>(data.size()), out.data());
    out += type + data;
    const QByteArray body = type + data;
    QByteArray crc(4, '\0');
    qToBigEndian(static_cast<quint32>(::crc32(0, reinterpret_cast<const Bytef*>(body.constData()), body.size())),
                 crc.data());
    return out + crc;
}

// A valid grey PNG of width x height that is black all over, compressed at zlib's best (11000 x 11000 in a few
// hundred kilobytes), with the keys of `path`.
QByteArray pngBomb(const QString& path, quint32 width, quint32 height) {
    QByteArray header(13, '\0');
    qToBigEndian(width, header.data());
    qToBigEndian(height, header.data() + 4);
    header[8] = 8;  // bits a sample; grey, no interlacing
    QByteArray pixels;
    z_stream z{};
    deflateInit(&z, 9);
    const QByteArray row(width + 1, '\0');  // filter byte and the row
    QByteArray out(1 << 16, '\0');
    for (quint32 y = 0; y <= height; ++y) {
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(row.constData()));
        z.avail_in = y < height ? row.size() : 0;
        do {
            z.next_out = reinterpret_cast<Bytef*>(out.data());
            z.avail_out = out.size();
            deflate(&z, y < height ? Z_NO_FLUSH : Z_FINISH);
            pixels.append(out.constData(), out.size() - z.avail_out);
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) +
           pngChunk("tEXt", QByteArray("Thumb::URI\0", 11) + ThumbnailCache::uriOf(path).toLatin1()) +
           pngChunk("tEXt",
                    QByteArray("Thumb::MTime\0", 13) + QByteArray::number(static_cast<qlonglong>(mtimeOf(path)))) +
           pngChunk("IDAT", pixels) + pngChunk("IEND", {});
}

TEST_F(ThumbnailCacheTest, TheFileIsNamedByTheMd5OfTheUri) {
    // The URI itself is checked against GLib's own in thumbnail_uri_test.cpp.
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

TEST_F(ThumbnailCacheTest, TheKeysAreWrittenAsPlainTextBeforeThePixels) {
    // GLib's check reads tEXt chunks only: a URI longer than 40 characters that Qt would compress must not be.
    const QString folder = file("a folder whose name makes every URI far longer than forty characters");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + "/caf\u00e9 \u00e9t\u00e9;#1 [x] 100%.jpg";
    ASSERT_TRUE(test::writePicture(path, 2400, 1600, "JPG", QColor(0, 0, 200)));
    ASSERT_FALSE(thumbnail(path).isNull());
    for (const char* kept : {"normal", "large"}) {
        const QString name = cache.fileFor(path, kept);
        std::map<QByteArray, QByteArray> texts;
        qsizetype firstText = -1, firstPixels = -1, i = 0;
        for (const Chunk& c : chunksOf(test::readBytes(name))) {
            EXPECT_NE(c.type, "zTXt") << kept;
            EXPECT_NE(c.type, "iTXt") << kept;
            if (c.type == "tEXt") {
                const qsizetype nul = c.data.indexOf('\0');
                texts[c.data.left(nul)] = c.data.mid(nul + 1);
                if (firstText < 0) firstText = i;
            }
            if (c.type == "IDAT" && firstPixels < 0) firstPixels = i;
            ++i;
        }
        EXPECT_EQ(texts["Thumb::URI"], ThumbnailCache::uriOf(path).toLatin1()) << kept;
        EXPECT_EQ(texts["Thumb::MTime"], QByteArray::number(static_cast<qlonglong>(mtimeOf(path)))) << kept;
        EXPECT_TRUE(firstText >= 0 && firstText < firstPixels) << kept;
        // libpng drops a text chunk whose CRC is wrong: read back, the keys are there.
        EXPECT_EQ(QImage(name).text("Thumb::URI"), ThumbnailCache::uriOf(path)) << kept;
    }
}

TEST_F(ThumbnailCacheTest, AnyValidSizeThatCoversTheThumbnailIsReadSmallestFirst) {
    const QString big = file("big.jpg"), small = file("small.jpg");
    ASSERT_TRUE(test::writePicture(big, 2400, 1600, "JPG", QColor(0, 0, 200)));
    ASSERT_TRUE(test::writePicture(small, 100, 66, "JPG", QColor(0, 0, 200)));
    const QColor red(Qt::red), green(Qt::green), yellow(Qt::yellow), decoded(0, 0, 200);
    struct Entry {
        const char* folder;
        QSize size;
        QColor colour;
        bool current = true;
    };
    struct Case {
        const char* what;
        QString picture;
        std::vector<Entry> entries;
        QSize drawn;
        QColor expected;
    } cases[] = {
        {"only the largest size kept", big, {{"xx-large", {1024, 683}, red}}, {50, 33}, red},
        {"the smallest of several",
         big,
         {{"xx-large", {1024, 683}, red}, {"x-large", {512, 341}, yellow}, {"large", {256, 171}, green}},
         {50, 33},
         green},
        {"normal before large", big, {{"normal", {128, 85}, yellow}, {"large", {256, 171}, green}}, {50, 33}, yellow},
        {"one of an older version passed over",
         big,
         {{"normal", {128, 85}, yellow, false}, {"large", {256, 171}, green}},
         {50, 33},
         green},
        {"too small for a dense screen",
         big,
         {{"normal", {128, 85}, yellow}, {"x-large", {512, 341}, red}},
         {150, 100},
         red},
        {"a small picture at its own size", small, {{"normal", {100, 66}, yellow}}, {150, 99}, yellow},
        {"larger than normal allows", big, {{"normal", {300, 200}, yellow}}, {50, 33}, decoded},
        {"larger than x-large allows", big, {{"x-large", {600, 400}, yellow}}, {50, 33}, decoded},
        {"none kept", big, {}, {50, 33}, decoded},
    };
    int n = 0;
    for (const Case& c : cases) {
        const ThumbnailCache kept(file("cache" + QString::number(n++)));
        for (const Entry& e : c.entries)
            ASSERT_TRUE(keep(kept, c.picture, e.folder, e.size, e.colour, e.current)) << c.what;
        const QImage image = decodeThumbnail(kept, c.picture, c.drawn, nullptr, nullptr, nullptr, nullptr);
        ASSERT_EQ(image.size(), c.drawn) << c.what;
        EXPECT_TRUE(near(image.pixelColor(c.drawn.width() / 2, c.drawn.height() / 2), c.expected))
            << c.what << ": " << image.pixelColor(c.drawn.width() / 2, c.drawn.height() / 2).name().toStdString();
        // One read from the cache is not decoded again, so nothing new is kept.
        if (c.expected != decoded) {
            EXPECT_EQ(QFile::exists(kept.fileFor(c.picture, "normal")),
                      std::any_of(c.entries.begin(), c.entries.end(),
                                  [](const Entry& e) { return QByteArray(e.folder) == "normal"; }))
                << c.what;
        }
    }
}

TEST_F(ThumbnailCacheTest, ACacheFileIsReadAsWarilyAsAPicture) {
    const QString path = file("p.jpg");
    ASSERT_TRUE(test::writePicture(path, 400, 300, "JPG", QColor(0, 0, 200)));
    // The bomb's small sibling is a valid thumbnail of the picture: only its size can refuse the bomb.
    const QImage sibling = QImage::fromData(pngBomb(path, 100, 75), "png");
    ASSERT_EQ(sibling.size(), QSize(100, 75));
    ASSERT_EQ(sibling.text("Thumb::URI"), ThumbnailCache::uriOf(path));
    struct Case {
        const char* what;
        const char* folder;
        std::function<bool(const QString&)> put;
    } cases[] = {
        {"a named pipe, which would wait for a writer for ever", "normal",
         [](const QString& at) { return ::mkfifo(QFile::encodeName(at).constData(), 0600) == 0; }},
        {"a folder", "large", [](const QString& at) { return QDir().mkpath(at); }},
        {"a PNG whose header says 11000 x 11000", "xx-large",
         [&](const QString& at) { return test::writeBytes(at, pngBomb(path, 11000, 11000)); }},
        {"a PNG cut short", "normal",
         [&](const QString& at) { return test::writeBytes(at, pngBomb(path, 100, 75).left(60)); }},
    };
    int n = 0;
    for (const Case& c : cases) {
        const ThumbnailCache kept(file("cache" + QString::number(n++)));
        const QString entry = kept.fileFor(path, c.folder);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(entry).path()));
        ASSERT_TRUE(QFile::setPermissions(kept.root(),
                                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        ASSERT_TRUE(c.put(entry)) << c.what;
        MemoryBudget budget(64LL * 1024 * 1024);
        DecodeStop stop;
        auto made = std::async(std::launch::async, [&] {
            return decodeThumbnail(kept, path, {40, 30}, nullptr, nullptr, &stop, &budget);
        });
        if (made.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
            ADD_FAILURE() << c.what << ": the thumbnail was not made";
            stop.unwanted = true;
            // Whatever waits on the pipe is let go, so that the test ends.
            const int writer = ::open(QFile::encodeName(entry).constData(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0) ::close(writer);
        }
        const QImage image = made.get();
        EXPECT_TRUE(near(image.pixelColor(20, 15), QColor(0, 0, 200))) << c.what;
        EXPECT_EQ(budget.inFlight(), 0) << c.what;
    }
}

TEST_F(ThumbnailCacheTest, AFolderOthersCanWriteToIsNeitherReadNorWritten) {
    const QString path = file("p.jpg");
    ASSERT_TRUE(test::writePicture(path, 400, 300, "JPG", QColor(0, 0, 200)));
    struct Case {
        const char* what;
        const char* folder;  // relative to the root; "" for the root itself
        std::function<bool(const QString&)> spoil;
    } cases[] = {
        {"the root open to all", "",
         [](const QString& d) { return ::chmod(QFile::encodeName(d).constData(), 0777) == 0; }},
        {"normal/ open to all", "normal",
         [](const QString& d) { return ::chmod(QFile::encodeName(d).constData(), 0777) == 0; }},
        {"normal/ open to its group", "normal",
         [](const QString& d) { return ::chmod(QFile::encodeName(d).constData(), 0770) == 0; }},
        {"the root owned by someone else", "",
         [](const QString& d) {
             return ::geteuid() == 0 && ::chown(QFile::encodeName(d).constData(), 65534, 65534) == 0;
         }},
    };
    static QStringList warnings;
    const auto previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) { warnings << text; });
    int n = 0;
    for (const Case& c : cases) {
        const ThumbnailCache kept(file("cache" + QString::number(n++)));
        ASSERT_TRUE(keep(kept, path, "normal", {128, 96}, Qt::red)) << c.what;
        const QString spoilt = c.folder[0] ? kept.root() + '/' + c.folder : kept.root();
        if (!c.spoil(spoilt)) {
            std::cout << "skipped (needs root): " << c.what << std::endl;
            continue;
        }
        warnings.clear();
        const QByteArray before = test::readBytes(kept.fileFor(path, "normal"));
        for (int twice = 0; twice < 2; ++twice) {
            const QImage image = decodeThumbnail(kept, path, {40, 30}, nullptr, nullptr, nullptr, nullptr);
            EXPECT_TRUE(near(image.pixelColor(20, 15), QColor(0, 0, 200))) << c.what << ": the kept one was read";
        }
        EXPECT_EQ(test::readBytes(kept.fileFor(path, "normal")), before) << c.what << ": written over";
        EXPECT_EQ(QDir(kept.root() + "/normal").entryList(QDir::Files).size(), 1) << c.what;
        EXPECT_FALSE(QFile::exists(kept.root() + "/fail")) << c.what;
        EXPECT_EQ(warnings.filter(spoilt).size(), 1) << c.what << ": " << warnings.join('\n').toStdString();
    }
    qInstallMessageHandler(previous);
}

}  // namespace
}  // namespace gb::qt
