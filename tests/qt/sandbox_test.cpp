// SPDX-License-Identifier: GPL-3.0-or-later
// The decoder helpers seen from the viewer: what it does when a helper crashes, hangs, allocates without end,
// breaks out of its filter or hands over pixels that are not what it says (the test helper fails on command),
// and how the replies it takes from a helper are checked.

#include <gtest/gtest.h>
#include <QElapsedTimer>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QTextImageFormat>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <QDir>

#include <csignal>
#include <cstring>

#include "platform/file_url.h"
#include "platform/qt/byte_paths.h"
#include "platform/qt/image/image_loader.h"
#include "platform/qt/image/sandbox/helper_launcher.h"
#include "platform/qt/image/sandbox/helper_pool.h"
#include "platform/qt/image/sandbox/pixel_memory.h"
#include "platform/qt/image/sandbox/protocol.h"
#include "platform/qt/image/sandbox/remote_decoding.h"
#include "platform/qt/image/thumbnail_cache.h"
#include "platform/qt/view/browser_view.h"
#include "tests/qt/image_files.h"

namespace gb::qt {
namespace {

using sandbox::HelperPool;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool sanitized = true;
#else
constexpr bool sanitized = false;
#endif

// The helpers of the test helper program for the time of a test.
class FaultyHelpers : public ::testing::Test {
protected:
    void SetUp() override {
        for (HelperPool* pool : {&HelperPool::decoding(), &HelperPool::headers()})
            pool->setProgram(GLIMMERBOX_FAULTY_DECODER);
        ASSERT_TRUE(test::writePicture(dir.filePath("fine.jpg"), 64, 48, "JPG", Qt::red));
    }
    void TearDown() override {
        for (HelperPool* pool : {&HelperPool::decoding(), &HelperPool::headers()})
            pool->setProgram(GLIMMERBOX_TEST_DECODER);
    }
    QString fault(const char* what, const QString& name = {}) {
        const QString path = dir.filePath((name.isEmpty() ? QString::fromLatin1(what) : name) + ".jpg");
        EXPECT_TRUE(test::writeBytes(path, QByteArray("GLIMMERBOX-FAULT ") + what + "\n"));
        return path;
    }
    QTemporaryDir dir;
};

// Each failure is told in the picture's place, at once or when its time is up, and the next picture decodes.
TEST_F(FaultyHelpers, EachFailingDecoderIsToldAndTheNextPictureDecodes) {
    const struct {
        const char* fault;
        QString error;
    } cases[] = {
        {"crash", "the picture could not be decoded (the decoder crashed)"},
        {"open", "the picture could not be decoded (the decoder tried something it is not allowed to do)"},
        {"socket", "the picture could not be decoded (the decoder tried something it is not allowed to do)"},
        {"unsealed", "the picture could not be decoded (the decoder handed over something else)"},
        {"short", "the picture could not be decoded (the decoder handed over something else)"},
        {"allocate", "it needs more memory than this viewer allows"},
    };
    for (const auto& c : cases) {
        // The address sanitizer's shadow memory rules out a memory cap: nothing would end the allocation.
        if (sanitized && std::strcmp(c.fault, "allocate") == 0) continue;
        QElapsedTimer clock;
        clock.start();
        QString error;
        EXPECT_TRUE(decodeImage(fault(c.fault), QSize(32, 24), &error).isNull()) << c.fault;
        EXPECT_EQ(error, c.error) << c.fault;
        EXPECT_LT(clock.elapsed(), 5000) << c.fault;
        clock.restart();
        const QImage next = decodeImage(dir.filePath("fine.jpg"), QSize(32, 24));
        ASSERT_FALSE(next.isNull()) << "after " << c.fault;
        EXPECT_GT(qRed(next.pixel(16, 12)), 200) << "after " << c.fault;
        EXPECT_LT(clock.elapsed(), 1000) << "after " << c.fault;
    }
}

TEST_F(FaultyHelpers, AHeaderReadByAFailingDecoderSaysSoInASentence) {
    EXPECT_EQ(readHeader(fault("crash")).error,
              QStringLiteral("The picture could not be decoded (the decoder crashed)."));
    EXPECT_EQ(
        readHeader(fault("open")).error,
        QStringLiteral("The picture could not be decoded (the decoder tried something it is not allowed to do)."));
    EXPECT_EQ(readHeader(dir.filePath("fine.jpg")).size, QSize(64, 48));
}

// A hanging decoder is killed when its time is up, or at once when the picture is not wanted any more.
TEST_F(FaultyHelpers, AHangingDecoderEndsWithItsTimeOrWhenNotWanted) {
    const QString hang = fault("hang");
    QElapsedTimer clock;
    clock.start();
    DecodeStop late;
    late.deadline.setRemainingTime(300);
    QString error;
    EXPECT_TRUE(decodeImage(hang, QSize(32, 24), &error, nullptr, &late).isNull());
    EXPECT_EQ(error, tooSlowText());
    EXPECT_LT(clock.elapsed(), 1300);

    DecodeStop unwanted;
    unwanted.unwanted = true;
    EXPECT_TRUE(decodeImage(hang, QSize(32, 24), &error, nullptr, &unwanted).isNull());
    EXPECT_EQ(error, QStringLiteral("not wanted any more"));
    EXPECT_FALSE(decodeImage(dir.filePath("fine.jpg"), QSize(32, 24)).isNull());
}

// A picture whose decoding would take more than all decodings together may take is refused before a pixel is
// decoded, in words; one that fits is decoded within the same budget.
TEST(SandboxMemory, APictureBeyondTheWholeBudgetIsRefusedUnread) {
    QTemporaryDir dir;
    const QString photo = dir.filePath("photo.jpg");
    ASSERT_TRUE(test::writePicture(photo, 1600, 1200, "JPG", Qt::gray));
    MemoryBudget small(4 * 1024 * 1024);
    QString error;
    EXPECT_TRUE(decodeImage(photo, QSize(1600, 1200), &error, nullptr, nullptr, &small).isNull());
    EXPECT_EQ(error, QStringLiteral("too large to show within the memory this viewer allows: 1600 x 1200"));
    EXPECT_FALSE(decodeImage(photo, QSize(400, 300), &error, nullptr, nullptr, &small).isNull());
    EXPECT_EQ(small.inFlight(), 0);
}

// Thumbnails that never finish hold every worker: the picture on show is decoded all the same.
TEST_F(FaultyHelpers, ThumbnailsThatHangNeverHoldUpThePictureOnShow) {
    ImageLoader loader;
    for (int i = 0; i < 6; ++i) loader.image(fault("hang", QStringLiteral("hang %1").arg(i)), QSize(50, 50), true);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return loader.workers().activeThreadCount() == loader.workers().maxThreadCount(); }, 5000));
    const QString fine = dir.filePath("fine.jpg");
    ASSERT_TRUE(QTest::qWaitFor([&] { return loader.probe(toStdString(fine)).ok; }, 5000));
    QElapsedTimer clock;
    clock.start();
    QImage shown;
    EXPECT_TRUE(QTest::qWaitFor([&] { return !(shown = loader.image(fine, QSize(32, 24))).isNull(); }, 5000));
    EXPECT_LT(clock.elapsed(), 1000);
}

// A thumbnail whose decoder failed is marked with a cross in its place: no sentence is cut to 50 pixels.
TEST_F(FaultyHelpers, AThumbnailThatCannotBeShownIsMarkedNotWritten) {
    ImageLoader loader;
    ImageObjectHandler thumbnails(loader, true, nullptr);
    const QString crashing = fault("crash");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return loader.image(crashing, QSize(50, 50), true).isNull() && !loader.errorFor(crashing).isEmpty(); },
        5000));
    QImage place(50, 50, QImage::Format_RGB32);
    place.fill(Qt::white);
    QPainter painter(&place);
    QTextImageFormat format;
    format.setName(QString::fromStdString(platform::toFileUrl(toStdString(crashing))));
    thumbnails.drawObject(&painter, QRectF(0, 0, 50, 50), nullptr, 0, format);
    painter.end();
    const QColor mark(160, 0, 0), ground(255, 240, 240);
    EXPECT_EQ(place.pixelColor(25, 25), mark);   // the crossing
    EXPECT_EQ(place.pixelColor(19, 19), mark);   // on a diagonal
    EXPECT_EQ(place.pixelColor(5, 25), ground);  // where a sentence would start
    EXPECT_EQ(place.pixelColor(25, 45), ground);
}

// The filter ends a helper that opens a file or a socket with SIGSYS, the signal of a forbidden system call.
// A helper that announces a thumbnail's files and then fails to hand one over: the pixels count, nothing is
// kept, and the viewer waits for no file that will never come.
TEST_F(FaultyHelpers, AThumbnailWhoseFilesFailIsShownAtOnceAndNotKept) {
    const QString path = fault("no-files");
    QElapsedTimer clock;
    clock.start();
    ThumbnailFiles files;
    const QImage image = decodeForThumbnail(path, {10, 10}, &files);
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_EQ(image.size(), QSize(10, 10));
    EXPECT_TRUE(files.large.isEmpty());
    EXPECT_TRUE(files.normal.isEmpty());
    // The same helper serves the next request.
    EXPECT_EQ(decodeImage(dir.filePath("fine.jpg"), {64, 48}).size(), QSize(64, 48));
}

TEST_F(FaultyHelpers, AForbiddenSystemCallEndsTheHelperWithSigsys) {
    for (const char* what : {"open", "socket"}) {
        QString why;
        auto helper = sandbox::HelperProcess::start(GLIMMERBOX_FAULTY_DECODER, &why);
        ASSERT_TRUE(helper) << why.toStdString();
        const int fd = ::open(QFile::encodeName(fault(what)).constData(), O_RDONLY | O_CLOEXEC);
        sandbox::Request request;
        request.kind = sandbox::RequestKind::Header;
        ASSERT_TRUE(helper->send(request, fd));
        ::close(fd);
        sandbox::Received in;
        EXPECT_EQ(helper->receive(in, nullptr, QDeadlineTimer(5000)), sandbox::HelperProcess::Wait::Ended) << what;
        helper->endReason();
        EXPECT_EQ(helper->endSignal(), SIGSYS) << what;
    }
}

// What a helper says of its pixels is checked against the memory they come in before they are mapped.
TEST(SandboxProtocol, ALayoutIsTakenOnlyWhenItFitsItsMemory) {
    sandbox::Reply pixels;
    pixels.kind = sandbox::ReplyKind::Pixels;
    pixels.width = 100;
    pixels.height = 50;
    pixels.format = QImage::Format_RGB32;
    pixels.bytesPerLine = 400;
    const struct {
        const char* name;
        void (*change)(sandbox::Reply&);
        std::int64_t memory;
        bool taken;
    } cases[] = {
        {"as said", [](sandbox::Reply&) {}, 20000, true},
        {"rows padded", [](sandbox::Reply& r) { r.bytesPerLine = 416; }, 20800, true},
        {"grey, one byte a pixel",
         [](sandbox::Reply& r) {
             r.format = QImage::Format_Grayscale8;
             r.bytesPerLine = 100;
         },
         5000, true},
        {"memory short by a byte", [](sandbox::Reply&) {}, 19999, false},
        {"rows shorter than the width", [](sandbox::Reply& r) { r.bytesPerLine = 396; }, 20000, false},
        {"rows not aligned", [](sandbox::Reply& r) { r.bytesPerLine = 401; }, 40000, false},
        {"a colour table format", [](sandbox::Reply& r) { r.format = QImage::Format_Indexed8; }, 20000, false},
        {"an unknown format", [](sandbox::Reply& r) { r.format = 9999; }, 20000, false},
        {"no width", [](sandbox::Reply& r) { r.width = 0; }, 20000, false},
        {"a negative height", [](sandbox::Reply& r) { r.height = -50; }, 20000, false},
        {"a side beyond any picture", [](sandbox::Reply& r) { r.height = 1 << 20; }, std::int64_t{1} << 40, false},
        {"not pixels", [](sandbox::Reply& r) { r.kind = sandbox::ReplyKind::Header; }, 20000, false},
    };
    for (const auto& c : cases) {
        sandbox::Reply reply = pixels;
        c.change(reply);
        EXPECT_EQ(sandbox::checkedLayout(reply, c.memory).has_value(), c.taken) << c.name;
    }
}

// A walk through photos of one size decodes each into the memory of one let go before (fresh memory costs more
// to touch than a JPEG to decode), and what was there before never shows through; a part's memory is not reused.
TEST(PixelMemory, ALargePictureLetGoIsDecodedIntoAgainByThePictureOfItsSize) {
    QTemporaryDir dir;
    const QSize large(1200, 1000);  // above the size from which a picture is decoded straight into its memory
    ASSERT_TRUE(test::writePicture(dir.filePath("a.jpg"), large.width(), large.height(), "JPG", Qt::red));
    ASSERT_TRUE(test::writePicture(dir.filePath("b.jpg"), large.width(), large.height(), "JPG", Qt::blue));
    ASSERT_TRUE(test::writePicture(dir.filePath("c.jpg"), 1100, 1000, "JPG", Qt::green));
    const auto colourAt = [](const QImage& image, QPoint at) { return image.pixelColor(at); };
    const auto near = [](QColor a, QColor b) {
        return std::abs(a.red() - b.red()) < 40 && std::abs(a.green() - b.green()) < 40 &&
               std::abs(a.blue() - b.blue()) < 40;
    };
    QImage a = decodeImage(dir.filePath("a.jpg"), large);
    ASSERT_TRUE(near(colourAt(a, {600, 500}), Qt::red));
    const int before = sandbox::reusedPixelMemory();
    a = QImage();  // let go: its memory is kept
    const QImage c = decodeImage(dir.filePath("c.jpg"), {1100, 1000});
    EXPECT_EQ(sandbox::reusedPixelMemory(), before) << "memory of another size was decoded into";
    EXPECT_TRUE(near(colourAt(c, {550, 500}), Qt::green));
    const QImage b = decodeImage(dir.filePath("b.jpg"), large);
    EXPECT_EQ(sandbox::reusedPixelMemory(), before + 1);
    for (const QPoint at : {QPoint(0, 0), QPoint(600, 500), QPoint(1199, 999)})
        EXPECT_TRUE(near(colourAt(b, at), Qt::blue)) << at.x();

    // A part is decoded straight into the memory it comes in too, but that memory is never offered again, not
    // even to a picture of its size: it is sealed against writing as it is handed over.
    QImage part = decodePart(dir.filePath("b.jpg"), QRect(100, 0, 1100, 1000));
    ASSERT_EQ(part.size(), QSize(1100, 1000));
    EXPECT_TRUE(near(colourAt(part, {1099, 999}), Qt::blue));
    const int afterPart = sandbox::reusedPixelMemory();
    part = QImage();
    EXPECT_TRUE(near(colourAt(decodeImage(dir.filePath("c.jpg"), {1100, 1000}), {550, 500}), Qt::green));
    EXPECT_EQ(sandbox::reusedPixelMemory(), afterPart) << "a part's memory was decoded into";
}

// Pixels come over with the rows laid out as the helper says, padded or not: small ones are read into the
// viewer's own memory, large ones mapped; either way each pixel is where it was.
TEST(PixelMemory, PixelsHandedOverKeepTheirPlaceWhateverTheirRowsPadding) {
    struct Case {
        QSize size;
        int padding;  // bytes after each row
    };
    for (const Case c : {Case{{3, 2}, 0}, Case{{3, 2}, 4}, Case{{700, 500}, 0}, Case{{700, 500}, 8}}) {
        const int bytesPerLine = 4 * c.size.width() + c.padding;
        const std::int64_t bytes = static_cast<std::int64_t>(bytesPerLine) * c.size.height();
        const int fd = sandbox::makePixelMemory(bytes);
        ASSERT_GE(fd, 0);
        std::vector<std::uint32_t> row(static_cast<std::size_t>(bytesPerLine / 4));
        for (int y = 0; y < c.size.height(); ++y) {
            for (int x = 0; x < c.size.width(); ++x) row[static_cast<std::size_t>(x)] = 0xFF000000U | (x << 8) | y;
            ASSERT_EQ(
                ::pwrite(fd, row.data(), static_cast<std::size_t>(bytesPerLine), static_cast<off_t>(y) * bytesPerLine),
                bytesPerLine);
        }
        ASSERT_TRUE(sandbox::sealPixelMemory(fd));
        sandbox::Received in;
        in.reply.kind = sandbox::ReplyKind::Pixels;
        in.reply.width = c.size.width();
        in.reply.height = c.size.height();
        in.reply.format = QImage::Format_RGB32;
        in.reply.bytesPerLine = bytesPerLine;
        in.fd = fd;
        const QImage image = sandbox::mapPixels(in);
        ASSERT_EQ(image.size(), c.size) << c.size.width() << " " << c.padding;
        const QPoint last(c.size.width() - 1, c.size.height() - 1);
        for (const QPoint at : {QPoint(0, 0), QPoint(2, 1), last})
            EXPECT_EQ(image.pixel(at), 0xFF000000U | (at.x() << 8) | at.y()) << c.size.width() << " " << c.padding;
    }
}

// The pixels the viewer hands over to be written as a PNG: described as a reply's are, and no larger than the
// cache's largest thumbnail.
TEST(SandboxProtocol, PixelsToWriteAreTakenOnlyWhenTheyFitTheirMemoryAndAThumbnail) {
    sandbox::Request pixels;
    pixels.kind = sandbox::RequestKind::EncodePng;
    pixels.width = 256;
    pixels.height = 192;
    pixels.format = QImage::Format_ARGB32_Premultiplied;
    pixels.bytesPerLine = 1024;
    const struct {
        const char* name;
        void (*change)(sandbox::Request&);
        std::int64_t memory;
        bool taken;
    } cases[] = {
        {"as said", [](sandbox::Request&) {}, 196608, true},
        {"memory short by a byte", [](sandbox::Request&) {}, 196607, false},
        {"the largest thumbnail",
         [](sandbox::Request& r) {
             r.width = r.height = 1024;
             r.bytesPerLine = 4096;
         },
         4 << 20, true},
        {"wider than the largest thumbnail",
         [](sandbox::Request& r) {
             r.width = 1025;
             r.bytesPerLine = 4100;
         },
         1 << 30, false},
        {"rows shorter than the width", [](sandbox::Request& r) { r.bytesPerLine = 1020; }, 1 << 30, false},
        {"a colour table format", [](sandbox::Request& r) { r.format = QImage::Format_Indexed8; }, 1 << 30, false},
        {"not pixels to write", [](sandbox::Request& r) { r.kind = sandbox::RequestKind::Picture; }, 1 << 30, false},
    };
    for (const auto& c : cases) {
        sandbox::Request request = pixels;
        c.change(request);
        EXPECT_EQ(sandbox::checkedLayout(request, c.memory).has_value(), c.taken) << c.name;
    }
}

// The thumbnail cache's files are written by a helper: what comes back is the picture, and without a helper no
// file is written (the viewer encodes nothing itself).
TEST_F(FaultyHelpers, TheCachesFilesAreWrittenByAHelperOrNotAtAll) {
    QImage picture(200, 150, QImage::Format_ARGB32_Premultiplied);
    picture.fill(QColor(200, 40, 40));
    QPainter(&picture).fillRect(0, 0, 100, 150, QColor(0, 0, 255, 128));
    for (HelperPool* pool : {&HelperPool::decoding(), &HelperPool::headers()})
        pool->setProgram(GLIMMERBOX_TEST_DECODER);
    const QImage back = QImage::fromData(encodePng(picture), "png");
    ASSERT_EQ(back.size(), picture.size());
    for (const QPoint at : {QPoint(10, 10), QPoint(150, 100)})
        EXPECT_EQ(back.pixelColor(at).rgba(), picture.pixelColor(at).rgba()) << at.x();

    // A thumbnail's files come with its picture, from the helper that decoded it.
    const QString path = dir.filePath("fine.bmp");
    ASSERT_TRUE(picture.convertToFormat(QImage::Format_RGB32).save(path));
    const ThumbnailCache cache(dir.filePath("thumbnails"));
    const auto thumbnail = [&] { return decodeThumbnail(cache, path, {100, 75}, nullptr, nullptr, nullptr, nullptr); };
    HelperPool::decoding().setProgram(dir.filePath("no such helper").toLocal8Bit());
    EXPECT_TRUE(encodePng(picture).isEmpty());
    EXPECT_TRUE(thumbnail().isNull());
    EXPECT_FALSE(QFile::exists(cache.fileFor(path, "normal")));
    EXPECT_FALSE(cache.failedBefore(path));  // the mark of a failure is a PNG too
    HelperPool::decoding().setProgram(GLIMMERBOX_TEST_DECODER);
    ASSERT_EQ(thumbnail().size(), QSize(100, 75));
    const QImage kept(cache.fileFor(path, "normal"));
    ASSERT_EQ(kept.size(), QSize(128, 96));
    EXPECT_EQ(kept.text("Thumb::URI"), ThumbnailCache::uriOf(path));
    EXPECT_EQ(kept.pixelColor(10, 10).rgb(), picture.pixelColor(16, 16).rgb());
    EXPECT_EQ(kept.pixelColor(100, 80).rgb(), picture.pixelColor(156, 125).rgb());
    EXPECT_FALSE(QFile::exists(cache.fileFor(path, "large")));  // a picture smaller than a large thumbnail
}

// Threads that ask together keep the helpers they made: a helper is started once, not for every time more of
// them ask at once than are idle (each start is a fork, and the helper's own memory faults in again).
TEST(HelperPools, HelpersStartedForThreadsAskingTogetherAreKept) {
    sandbox::HelperPool pool(1, GLIMMERBOX_TEST_DECODER);
    const auto takeTogether = [&](int count) {
        std::vector<std::unique_ptr<sandbox::HelperProcess>> taken;
        for (int i = 0; i < count; ++i) taken.push_back(pool.take(nullptr));
        for (auto& helper : taken) {
            ASSERT_TRUE(helper);
            pool.giveBack(std::move(helper));
        }
    };
    for (int round = 0; round < 5; ++round) takeTogether(3);
    EXPECT_EQ(pool.started(), 3);
    // No more than two above the idle ones are kept.
    takeTogether(5);
    const int afterFive = pool.started();
    takeTogether(5);
    EXPECT_EQ(pool.started(), afterFive + 2);
}

// Helpers are forked by one launcher, yet each is the viewer's own child (it is waited for and its end is known)
// with nothing open but the standard streams and its socket; a launcher that ended is started again, and the
// helpers it made before go on.
TEST(HelperLaunchers, HelpersAreTheViewersChildrenWithOnlyTheirSocketAndOutliveTheirLauncher) {
    QTemporaryDir dir;
    const QString picture = dir.filePath("fine.jpg");
    ASSERT_TRUE(test::writePicture(picture, 64, 48, "JPG", Qt::red));
    const auto parentOf = [](pid_t pid) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly)) return -1;
        const QByteArray line = stat.readAll();
        return line.mid(line.lastIndexOf(')') + 2).split(' ').value(1).toInt();
    };
    const auto answersAHeader = [&](sandbox::HelperProcess& helper) {
        const int fd = ::open(QFile::encodeName(picture).constData(), O_RDONLY | O_CLOEXEC);
        sandbox::Request request;
        request.kind = sandbox::RequestKind::Header;
        const bool sent = helper.send(request, fd);
        ::close(fd);
        sandbox::Received in;
        return sent && helper.receive(in, nullptr, QDeadlineTimer(5000)) == sandbox::HelperProcess::Wait::Reply &&
               in.reply.kind == sandbox::ReplyKind::Header && in.reply.width == 64;
    };
    QString why;
    auto first = sandbox::HelperProcess::start(GLIMMERBOX_TEST_DECODER, &why);
    ASSERT_TRUE(first) << why.toStdString();
    EXPECT_EQ(parentOf(first->pid()), ::getpid());
    ASSERT_TRUE(answersAHeader(*first));
    // Its descriptors can be listed by the same user only while it may be traced (root, in the suite's runs). The
    // picture's descriptor is closed a moment after the reply.
    if (::geteuid() == 0) {
        const auto open = [&] {
            return QDir(QStringLiteral("/proc/%1/fd").arg(first->pid()))
                .entryList(QDir::Files | QDir::System, QDir::Name);
        };
        const QStringList streamsAndSocket{"0", "1", "2", "3"};
        for (int i = 0; i < 100 && open() != streamsAndSocket; ++i) QTest::qWait(10);
        EXPECT_EQ(open(), streamsAndSocket);
    }

    auto& launcher = sandbox::HelperLauncher::of(GLIMMERBOX_TEST_DECODER);
    const pid_t ended = launcher.launcherPid();
    ASSERT_GT(ended, 0);
    ASSERT_EQ(::kill(ended, SIGKILL), 0);
    auto second = sandbox::HelperProcess::start(GLIMMERBOX_TEST_DECODER, &why);
    ASSERT_TRUE(second) << why.toStdString();
    EXPECT_NE(launcher.launcherPid(), ended);
    EXPECT_EQ(parentOf(second->pid()), ::getpid());
    EXPECT_TRUE(answersAHeader(*second));
    EXPECT_TRUE(answersAHeader(*first));
}

TEST(SandboxProtocol, APacketIsAReplyOnlyWhenWhollyWellFormed) {
    const auto packet = [](sandbox::Reply reply, const std::string& text, std::uint32_t said) {
        reply.textBytes = said;
        std::string bytes(reinterpret_cast<const char*>(&reply), sizeof(reply));
        return bytes + text;
    };
    sandbox::Reply failed;
    sandbox::Reply wrongMagic;
    wrongMagic.magic = 0;
    sandbox::Reply unknown;
    unknown.kind = static_cast<sandbox::ReplyKind>(77);
    sandbox::Reply pixels;
    pixels.kind = sandbox::ReplyKind::Pixels;
    sandbox::Reply greedy;
    greedy.kind = sandbox::ReplyKind::NeedMemory;
    greedy.bytes = -1;
    sandbox::Reply file;
    file.kind = sandbox::ReplyKind::Encoded;
    file.bytes = 100;
    sandbox::Reply emptyFile = file;
    emptyFile.bytes = 0;
    const struct {
        const char* name;
        std::string bytes;
        bool withFd;
        bool taken;
    } cases[] = {
        {"a reason", packet(failed, "it is broken", 12), false, true},
        {"text longer than said", packet(failed, "it is broken", 5), false, false},
        {"text shorter than said", packet(failed, "it", 12), false, false},
        {"cut before its end", packet(failed, "", 0).substr(0, 10), false, false},
        {"another protocol", packet(wrongMagic, "", 0), false, false},
        {"an unknown kind", packet(unknown, "", 0), false, false},
        {"pixels without memory", packet(pixels, "", 0), false, false},
        {"pixels with memory", packet(pixels, "", 0), true, true},
        {"a reason with a descriptor", packet(failed, "", 0), true, false},
        {"less than no memory", packet(greedy, "", 0), false, false},
        {"a file in memory", packet(file, "", 0), true, true},
        {"a file without its memory", packet(file, "", 0), false, false},
        {"an empty file", packet(emptyFile, "", 0), true, false},
    };
    for (const auto& c : cases) {
        const int fd = c.withFd ? ::memfd_create("test", MFD_CLOEXEC) : -1;
        const auto parsed = sandbox::parseReply(c.bytes.data(), static_cast<long>(c.bytes.size()), fd);
        EXPECT_EQ(parsed.has_value(), c.taken) << c.name;
        if (parsed && parsed->fd >= 0) ::close(parsed->fd);  // a refused packet's descriptor is closed with it
    }
}

}  // namespace
}  // namespace gb::qt
