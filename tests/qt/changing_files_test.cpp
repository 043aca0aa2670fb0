// SPDX-License-Identifier: GPL-3.0-or-later
// What a folder on a real desktop does while the viewer looks at it: files replaced, completed, turned into
// FIFOs; and pictures built to cost far more than their size on disk. The window never waits on a file, memory
// stays bounded, a decoding no one wants stops, and a changed file is read again. Each test runs in a process of
// its own (CTest), so the peak memory it measures is its own.

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <climits>
#include <cstring>

#include "app/form1.h"
#include "platform/qt/byte_paths.h"
#include "platform/qt/command_line.h"
#include "platform/qt/image/image_loader.h"
#include "platform/qt/image/sandbox/remote_decoding.h"
#include "platform/qt/qt_services.h"
#include "platform/qt/view/browser_view.h"
#include "tests/qt/image_files.h"
#include "tests/qt/on_screen.h"

namespace gb::qt {
namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto s = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return s(usage.ru_utime) + s(usage.ru_stime);
}

bool makeSocket(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    if (fd < 0 || native.size() >= static_cast<qsizetype>(sizeof(address.sun_path))) return false;
    std::memcpy(address.sun_path, native.constData(), static_cast<std::size_t>(native.size()));
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return bound;
}

// A FIFO, a socket and a link to a device in a picture's place: never opened, each named for what it is, and
// nothing waits (opening the FIFO for reading would wait for a writer).
TEST(SpecialFiles, AreNeverReadAndSayWhatTheyAre) {
    QTemporaryDir dir;
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("pipe.jpg")).constData(), 0644), 0);
    ASSERT_TRUE(makeSocket(dir.filePath("socket.jpg")));
    ASSERT_TRUE(QFile::link("/dev/zero", dir.filePath("zero.jpg")));
    const struct {
        const char* name;
        const char* kind;
    } cases[] = {{"pipe.jpg", "a named pipe (FIFO)"}, {"socket.jpg", "a socket"}, {"zero.jpg", "a device"}};
    for (const auto& c : cases) {
        const QString path = dir.filePath(c.name);
        QElapsedTimer clock;
        clock.start();
        QString why;
        EXPECT_EQ(openForReading(path, &why), nullptr) << c.name;
        EXPECT_EQ(why, QStringLiteral("it is %1, not a picture file").arg(c.kind));
        EXPECT_EQ(specialFileKind(QFile::encodeName(path)), c.kind);
        QtImageProbe probe;
        EXPECT_EQ(probe.probe(toStdString(path)).error,
                  std::string("The file cannot be read: it is ") + c.kind + ", not a picture file.");
        EXPECT_TRUE(decodeImage(path, QSize(50, 50)).isNull());
        EXPECT_LT(clock.elapsed(), 500) << c.name;
    }
    EXPECT_EQ(specialFileKind(QFile::encodeName(dir.path())), "");  // a folder is not "special"
}

// The command line's path is made absolute without following a link at its end, and never from a guessed
// working folder.
TEST(CommandLinePath, KeepsTheGivenNameAndNeverGuessesTheFolder) {
    QTemporaryDir dir;
    const std::string root = QFile::encodeName(QDir(dir.path()).canonicalPath()).toStdString();
    ASSERT_TRUE(QDir(dir.path()).mkpath("sub"));
    ASSERT_TRUE(QFile::link("/dev/zero", dir.filePath("z.jpg")));
    char before[PATH_MAX];
    ASSERT_NE(::getcwd(before, sizeof before), nullptr);
    ASSERT_EQ(::chdir(root.c_str()), 0);
    const struct {
        std::string given, absolute;
    } cases[] = {{"z.jpg", root + "/z.jpg"},
                 {"sub/../z.jpg", root + "/z.jpg"},
                 {root + "/sub/../z.jpg", root + "/z.jpg"},
                 {"sub", root + "/sub"},
                 {".", root},
                 {"missing/a.jpg", root + "/missing/a.jpg"}};
    for (const auto& c : cases) {
        std::string why;
        EXPECT_EQ(absolutePath(c.given, why), c.absolute) << c.given;
        EXPECT_EQ(why, "") << c.given;
    }
    // A working folder deeper than the system's path limit: said so, and no other folder stands in for it.
    const std::string level(200, 'd');
    for (int i = 0; i < 25; ++i) {
        ASSERT_EQ(::mkdir(level.c_str(), 0755), 0);
        ASSERT_EQ(::chdir(level.c_str()), 0);
    }
    std::string why;
    EXPECT_EQ(openablePath("a.bmp", why), "");
    EXPECT_EQ(why, "its full path is longer than the system allows (" + std::to_string(root.size() + 25 * 201 + 6) +
                       " bytes)");
    for (int i = 0; i < 25; ++i) {
        ASSERT_EQ(::chdir(".."), 0);
        ASSERT_EQ(::rmdir(level.c_str()), 0);
    }
    ASSERT_EQ(::chdir(before), 0);
}

struct ChangingFiles : ::testing::Test, test::OnScreen {
    // The picture as drawn on the page, once it has been decoded at the size the page draws it.
    QImage drawn(const char* name, int ms = 5000) {
        const QSize size(form.page.naturalWidth(), form.page.naturalHeight());
        QImage image;
        return QTest::qWaitFor([&] { return !(image = loader.image(file(name), size)).isNull(); }, ms) ? image
                                                                                                       : QImage();
    }
};

TEST_F(ChangingFiles, AFifoPutInAPicturesPlaceAfterTheScanNeitherHangsNorGoesUnnamed) {
    ASSERT_TRUE(test::writePicture(file("a.jpg"), 60, 40, "JPG", Qt::green));
    ASSERT_TRUE(test::writePicture(file("b.bmp"), 60, 40, "BMP", Qt::red));
    ASSERT_TRUE(test::writePicture(file("c.jpg"), 60, 40, "JPG", Qt::blue));
    open("a.jpg");
    ASSERT_TRUE(shows("a.jpg"));
    ASSERT_TRUE(QFile::remove(file("b.bmp")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(file("b.bmp")).constData(), 0644), 0);
    QElapsedTimer clock;
    clock.start();
    form.menuSAvanti_Click();
    ASSERT_TRUE(shows("b.bmp", 1000));
    form.menuThumb_Click();
    QTest::qWait(200);
    form.menuSAvanti_Click();
    ASSERT_TRUE(shows("c.jpg", 1000));
    EXPECT_LT(clock.elapsed(), 1500);
    form.menuSIndietro_Click();
    ASSERT_TRUE(shows("b.bmp", 1000));
    const std::string page = form.HDocBrwI->bodyHTML();
    EXPECT_NE(page.find("b.bmp"), std::string::npos) << page;
    EXPECT_NE(page.find("named pipe (FIFO)"), std::string::npos) << page;
}

TEST_F(ChangingFiles, APictureReplacedUnderItsNameIsDrawnAnew) {
    ASSERT_TRUE(test::writePicture(file("a.bmp"), 400, 200, "BMP", Qt::red));
    ASSERT_TRUE(test::writePicture(file("b.jpg"), 60, 40, "JPG", Qt::green));
    ASSERT_TRUE(test::writePicture(file("new.bmp"), 800, 200, "BMP", Qt::blue));
    open("a.bmp");
    ASSERT_TRUE(shows("a.bmp"));
    ASSERT_EQ(drawn("a.bmp").pixelColor(10, 10), QColor(Qt::red));
    ASSERT_EQ(::rename(QFile::encodeName(file("new.bmp")).constData(), QFile::encodeName(file("a.bmp")).constData()),
              0);
    form.menuSAvanti_Click();
    ASSERT_TRUE(shows("b.jpg"));
    form.menuSIndietro_Click();
    ASSERT_TRUE(shows("a.bmp"));
    EXPECT_EQ(form.page.naturalWidth(), 800);
    const QImage image = drawn("a.bmp");
    EXPECT_EQ(image.size(), QSize(800, 200));
    EXPECT_EQ(image.pixelColor(10, 10), QColor(Qt::blue));
}

TEST_F(ChangingFiles, AHalfWrittenPictureIsReadAgainOnceComplete) {
    QImage stripes(200, 200, QImage::Format_RGB32);
    stripes.fill(Qt::black);
    for (int y = 150; y < 200; ++y)
        for (int x = 0; x < 200; ++x) stripes.setPixel(x, y, qRgb(255, 255, 255));
    ASSERT_TRUE(stripes.save(file("whole.jpg"), "JPG", 95));
    const QByteArray whole = test::readBytes(file("whole.jpg"));
    ASSERT_TRUE(test::writeBytes(file("a.jpg"), whole.left(whole.size() * 45 / 100)));
    ASSERT_TRUE(test::writePicture(file("b.jpg"), 60, 40, "JPG", Qt::green));
    open("a.jpg");
    ASSERT_TRUE(shows("a.jpg"));
    EXPECT_LT(qGray(drawn("a.jpg").pixel(100, 190)), 200);  // what was not there yet is not white
    ASSERT_TRUE(test::writeBytes(file("a.jpg"), whole));
    form.menuSAvanti_Click();
    ASSERT_TRUE(shows("b.jpg"));
    form.menuSIndietro_Click();
    ASSERT_TRUE(shows("a.jpg"));
    EXPECT_GT(qGray(drawn("a.jpg").pixel(100, 190)), 240);
}

// A picture that cannot be decoded names itself and the reason on a band as wide as the image area, whatever
// its own size: a 64x64 one and one whose header says 1x1.
TEST_F(ChangingFiles, ADecodingErrorIsReadableOnABandAsWideAsTheView) {
    // Headers that read well, pixels cut short in the first frame.
    for (const auto& [name, side] : {std::pair{"alette_lie_about_their_pixels.gif", 64}, std::pair{"b tiny.gif", 1}}) {
        ASSERT_TRUE(test::writeBrokenAnimatedGif(file(name), side, side));
        const QByteArray whole = test::readBytes(file(name));
        ASSERT_TRUE(test::writeBytes(file(name), whole.left(whole.indexOf(",") + 12)));
    }
    open("alette_lie_about_their_pixels.gif");
    for (const char* name : {"alette_lie_about_their_pixels.gif", "b tiny.gif"}) {
        ASSERT_TRUE(shows(name)) << name;
        auto* page = static_cast<BrowserView*>(viewer->view.widgetFor(&form.WebBrwI));
        QLabel* band = nullptr;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                band = page->viewport()->findChild<QLabel*>();
                return band && band->isVisible();
            },
            5000))
            << name;
        EXPECT_TRUE(band->text().startsWith(QStringLiteral("Cannot show %1: ").arg(name)))
            << band->text().toStdString();
        EXPECT_GT(band->text().size(), QStringLiteral("Cannot show %1: ").arg(name).size() + 5);
        EXPECT_EQ(band->width(), page->viewport()->width());
        // Drawn: the band's colour across the whole width of the view.
        const QImage shot = page->viewport()->grab().toImage();
        const int y = band->geometry().center().y();
        EXPECT_EQ(shot.pixelColor(2, y), QColor(255, 240, 240));
        EXPECT_EQ(shot.pixelColor(shot.width() - 3, y), QColor(255, 240, 240));
        form.menuSAvanti_Click();
    }
}

// Thousands of scans over a 16-megapixel grey picture (seconds of work from 50 KB): the next picture is drawn at
// once, the decoding stops once the walk has moved past its neighbours, and the viewer closes within a second
// whatever is decoding.
TEST_F(ChangingFiles, AScanBombIsLeftAtOnceAndDoesNotHoldTheExit) {
    ASSERT_TRUE(test::writeScanBomb(file("a bomb.jpg"), 4000, 4000, 1500));
    for (const char* name : {"b.jpg", "c.jpg", "d.jpg"})
        ASSERT_TRUE(test::writePicture(file(name), 300, 200, "JPG", Qt::green));
    open("a bomb.jpg");
    ASSERT_TRUE(shows("a bomb.jpg"));
    const auto decoding = [&] { return QTest::qWaitFor([&] { return loader.decodingInFlight() > 0; }, 2000); };
    ASSERT_TRUE(decoding());
    QTest::qWait(300);
    QElapsedTimer clock;
    clock.start();
    form.menuSAvanti_Click();
    ASSERT_TRUE(shows("b.jpg"));
    EXPECT_EQ(drawn("b.jpg", 2000).pixelColor(10, 10).green(), 255);
    EXPECT_LT(clock.elapsed(), 2000);
    form.menuSAvanti_Click();
    ASSERT_TRUE(shows("c.jpg"));
    EXPECT_FALSE(drawn("c.jpg").isNull());
    // Not on show and no longer a neighbour: it stops.
    EXPECT_TRUE(QTest::qWaitFor([&] { return loader.decodingInFlight() == 0; }, 2000));

    form.menuSIndietro_Click();
    form.menuSIndietro_Click();  // back on the bomb: its decoding starts anew
    ASSERT_TRUE(shows("a bomb.jpg"));
    ASSERT_TRUE(decoding());
    QTest::qWait(300);
    clock.restart();
    viewer.reset();
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_LT(test::peakMiB(), 600);
}

// Three frames on a 10000 x 10000 screen: shown still, within memory, and nothing runs once the walk moved on.
TEST_F(ChangingFiles, AGifBombIsShownStillWithinMemoryAndStopsWhenLeft) {
    ASSERT_TRUE(test::writeGifScreenBomb(file("a bomb.gif"), 10000, 10000, 3));
    ASSERT_TRUE(test::writeGif(file("b small.gif"), 40, 30, 2));
    ASSERT_TRUE(test::writePicture(file("c.jpg"), 300, 200, "JPG", Qt::green));
    open("a bomb.gif");
    ASSERT_TRUE(shows("a bomb.gif"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return !loader.image(file("a bomb.gif"), QSize(form.page.naturalWidth(), form.page.naturalHeight()))
                        .isNull() ||
                   !loader.errorFor(file("a bomb.gif")).isEmpty();
        },
        10000));
    EXPECT_FALSE(loader.isAnimated(file("a bomb.gif")));
    form.menuSAvanti_Click();
    ASSERT_TRUE(shows("b small.gif"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return loader.isAnimated(file("b small.gif")); }, 5000));  // a small one plays
    QSet<QRgb> colours;  // its red and blue frames in turn, decoded on workers
    (void)QTest::qWaitFor(
        [&] {
            const QImage frame = loader.image(file("b small.gif"), QSize(40, 30));
            if (!frame.isNull()) colours.insert(frame.pixel(5, 5) & 0xFFFFFF);
            return colours.size() >= 2;
        },
        3000);
    EXPECT_EQ(colours, (QSet<QRgb>{0xFF0000, 0x0000FF}));
    form.menuSAvanti_Click();
    ASSERT_TRUE(shows("c.jpg"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !loader.isAnimated(file("b small.gif")); }, 2000));  // and stops when left
    QTest::qWait(600);  // the frames let go are unmapped a moment after
    const double before = cpuSeconds();
    QTest::qWait(1000);
    EXPECT_LT(cpuSeconds() - before, 0.1);
    EXPECT_LT(test::peakMiB(), 600);
}

// Four BMPs of 8-bit runs, each claiming 11000 x 11000 from a few bytes, in the thumbnail bar while the walk goes
// on: decoded one at a time within the budget.
TEST_F(ChangingFiles, HugeRleBmpsInTheThumbnailBarStayWithinMemory) {
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp", "d.bmp"})
        ASSERT_TRUE(test::writeRleBmpBomb(file(name), 11000, 11000));
    open("a.bmp");
    ASSERT_TRUE(shows("a.bmp"));
    form.menuThumb_Click();
    for (const char* name : {"b.bmp", "c.bmp", "d.bmp"}) {
        QTest::qWait(500);
        form.menuSAvanti_Click();
        ASSERT_TRUE(shows(name, 10000));
    }
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            for (const char* name : {"a.bmp", "b.bmp", "c.bmp", "d.bmp"})
                if (loader.image(file(name), QSize(50, 50), true).isNull() && loader.errorFor(file(name)).isEmpty())
                    return false;
            return true;
        },
        30000));
    EXPECT_LT(test::peakMiB(), 600);
}

}  // namespace
}  // namespace gb::qt
