// SPDX-License-Identifier: GPL-3.0-or-later
// What real folders contain: empty, cut, mislabelled, hostile and vanishing files, walked through every part of
// the viewer on the real Qt services. Nothing crashes, hangs or grows without bound; each file that cannot be
// shown says so with its name; the slideshow goes on past it.

#include <gtest/gtest.h>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/form1.h"
#include "platform/qt/image/image_loader.h"
#include "platform/qt/qt_services.h"
#include "platform/qt/viewer.h"
#include "queue/open_path.h"
#include "suspend/form2.h"
#include "tests/qt/image_files.h"
#include "tests/qt/on_screen.h"

namespace gb::qt {
namespace {

struct BadFiles : ::testing::Test, test::OnScreen {
    void SetUp() override {
        ASSERT_TRUE(test::writePicture(file("a good.jpg"), 120, 90, "JPG", Qt::darkGreen));
        ASSERT_TRUE(test::writeBytes(file("b empty.jpg"), {}));
        ASSERT_TRUE(test::writeTruncated(file("c cut in half.jpg"), 400, 300));
        ASSERT_TRUE(test::writeBytes(file("d text.jpg"), "these are my holiday notes, not a picture\n"));
        ASSERT_TRUE(test::writePicture(file("e png named.gif"), 60, 40, "PNG", Qt::blue));
        ASSERT_TRUE(test::writeBmpHeader(file("f huge header.bmp"), 100000, 100000));
        ASSERT_TRUE(test::writeJpegHeader(file("g bomb.jpg"), 65000, 65000));
        ASSERT_TRUE(test::writeBrokenAnimatedGif(file("h broken anim.gif"), 30, 20));
        ASSERT_TRUE(test::writePicture(file("i vanishing.jpg"), 50, 50, "JPG", Qt::red));
        ASSERT_TRUE(test::writePicture(file("j locked.jpg"), 50, 50, "JPG", Qt::red));
        QFile::setPermissions(file("j locked.jpg"), QFileDevice::Permissions());
        ASSERT_TRUE(test::writePicture(file("z good.jpg"), 80, 60, "JPG", Qt::darkGreen));

        open("a good.jpg");
        QFile::remove(file("i vanishing.jpg"));  // gone between the scan and its display
    }

    // Waits until the picture on show has completed its document and its decoding has ended either way.
    void settle(const std::string& path) {
        ASSERT_TRUE(shows(path));
        QTest::qWait(50);
    }
};

TEST_F(BadFiles, EveryFileIsShownOrNamedWithTheReasonAndTheWalkGoesOn) {
    ASSERT_EQ(form.queue.queueCount(), 11);
    const long before = test::peakMiB();
    const auto pageNames = [&](const std::string& path) {
        const std::string page = form.HDocBrwI->bodyHTML();
        return page.find(platform::escapeMarkup(path)) != std::string::npos && page.find("WIDTH=") == std::string::npos;
    };
    int saidWhy = 0;
    // The slideshow itself walks the folder: every tick moves on, whatever the file was.
    form.menuSPausa_Click();
    for (int i = 1; i <= form.queue.queueCount(); ++i) {
        const std::string path = form.DoveShow.listItem(i - 1);
        if (i > 1) form.TempoSlide.elapse();
        EXPECT_EQ(form.queue.queuePos(), i) << path;
        settle(path);
        form.menuSPiu_Click();
        form.menuSMeno_Click();
        form.menuSNormale_Click();
        form.menuSPausa_Click();  // zooming paused the slideshow; run it again
        const QString name = QFileInfo(toQString(path)).fileName();
        const bool failedToDecode = QTest::qWaitFor([&] { return !loader.errorFor(toQString(path)).isEmpty(); }, 300);
        if (pageNames(path) || failedToDecode) ++saidWhy;
        const bool good = name.contains("good") || name.contains("locked") || name.contains("png named") ||
                          name.contains("cut in half") || name.contains("broken anim");
        if (!good) {
            EXPECT_TRUE(pageNames(path) || failedToDecode) << name.toStdString();
        }
    }
    EXPECT_EQ(form.Slab(2).caption(), "END");
    EXPECT_GE(saidWhy, 5);  // empty, text, huge header, bomb, vanished

    // Thumbnails of everything, and the preview of every name.
    form.menuThumb_Click();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            for (const auto& entry : form.DoveShow.listItems()) {
                const QString p = toQString(entry);
                if (loader.image(p, QSize(50, 50), true).isNull() && loader.errorFor(p).isEmpty()) return false;
            }
            return true;
        },
        10000));
    Form2& lists = form.form2();
    for (int i = 0; i < lists.ListSI.listCount(); ++i) lists.ListSI.userPick(i);
    QApplication::processEvents();

    // Nothing was decoded at the size a header claimed.
    EXPECT_LT(test::peakMiB() - before, 300);
}

// A screen reader hears that a picture cannot be shown, and why: never the size of a picture that is not there.
struct Unshown : ::testing::Test, test::OnScreen {};

TEST_F(Unshown, APictureThatCannotBeShownIsNamedSoForScreenReaders) {
    ASSERT_TRUE(test::writeJpegCoding(file("a twelve bit.jpg"), 64, 48, 0xC1, 12));
    // A PNG cut short (under a .jpg name): its header is read, its pixels cannot be.
    QImage noise(300, 200, QImage::Format_RGB32);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, static_cast<QRgb>((x * 7919 + y * 104729) * 2654435761u));
    ASSERT_TRUE(noise.save(file("b cut png.jpg"), "PNG"));
    const QByteArray whole = test::readBytes(file("b cut png.jpg"));
    ASSERT_TRUE(test::writeBytes(file("b cut png.jpg"), whole.left(whole.size() / 2)));
    ASSERT_TRUE(test::writePicture(file("c good.jpg"), 80, 60, "JPG", Qt::darkGreen));
    QWidget* page = viewer->view.widgetFor(&form.WebBrwI);
    const auto named = [&](const QString& name) {
        return QTest::qWaitFor([&] { return page->accessibleName() == name; }, 5000);
    };

    open("a twelve bit.jpg");
    EXPECT_TRUE(named("Picture a twelve bit.jpg cannot be shown. This is a 12-bit JPEG, which cannot be shown."))
        << page->accessibleName().toStdString();
    form.menuSAvanti_Click();
    ASSERT_TRUE(shows("b cut png.jpg"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !loader.errorFor(file("b cut png.jpg")).isEmpty(); }, 5000));
    EXPECT_TRUE(named("Picture b cut png.jpg cannot be shown: " + loader.errorFor(file("b cut png.jpg")) + "."))
        << page->accessibleName().toStdString();
    form.menuSAvanti_Click();
    EXPECT_TRUE(named("Picture c good.jpg, 80 by 60")) << page->accessibleName().toStdString();
}

// Forty thousand pictures in one folder: all queued, the window turns its event loop while the folder is read,
// and the walk works at the far end.
TEST(BigFolder, FortyThousandPicturesAreQueuedAndWalked) {
    QTemporaryDir dir;
    ASSERT_TRUE(test::writePicture(dir.filePath("seed.bmp"), 4, 3, "BMP", Qt::yellow));
    const QByteArray bytes = test::readBytes(dir.filePath("seed.bmp"));
    QFile::remove(dir.filePath("seed.bmp"));
    for (int i = 0; i < 40000; ++i)
        ASSERT_TRUE(test::writeBytes(dir.filePath(QStringLiteral("p%1.bmp").arg(39999 - i, 5, 10, QChar('0'))), bytes));

    Viewer viewer{QSize(1280, 1024)};
    Form1& form = viewer.form;
    viewer.start();
    QApplication::processEvents();

    int turnsDuringScan = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (form.queue.queueCount() == 0) ++turnsDuringScan;
    });
    ticker.start(0);
    openFromCommandLine(form, toStdString(dir.filePath("p39998.bmp")));
    ticker.stop();
    EXPECT_GT(turnsDuringScan, 0);
    EXPECT_EQ(form.Slab(1).caption(), "Tot=40000");
    EXPECT_EQ(form.queue.queuePos(), 39999);
    EXPECT_EQ(form.Slab(2).caption(), "Cur=39999");
    form.menuSAvanti_Click();
    EXPECT_EQ(form.Slab(2).caption(), "END");
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.page.naturalWidth() == 4; }, 5000));
    EXPECT_EQ(qobject_cast<QComboBox*>(viewer.view.widgetFor(&form.DoveShow))->count(), 40000);
}

// The folder goes away while its pictures are shown: every later step says so, nothing crashes, and the exit
// still ends the program after naming what it could not remove.
TEST_F(BadFiles, AFolderRemovedWhileShownIsReportedAndTheProgramStillEnds) {
    Form2& lists = form.form2();
    int a = 65;
    form.window.onKeyDown(a, 0);  // suspend the first picture
    ASSERT_EQ(lists.ListNO.listCount(), 1);
    ASSERT_TRUE(QDir(dir.path()).removeRecursively());
    for (int i = 0; i < 3; ++i) {
        form.menuSAvanti_Click();
        const std::string path = form.DoveShow.text();
        settle(path);
        EXPECT_NE(form.HDocBrwI->bodyHTML().find("does not exist"), std::string::npos) << path;
    }
    lists.ListSI.userPick(0);  // the preview of a vanished file changes nothing
    form.menuThumb_Click();
    QTest::qWait(100);
    int z = 90;
    int shown = 0;
    QTimer::singleShot(50, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            ++shown;
            QTest::keyClick(box, Qt::Key_Return);
        }
    });
    const int before = form.queue.queueCount();
    form.window.onKeyDown(z, 0);
    EXPECT_EQ(shown, 1);  // the trash could not take it: said so
    EXPECT_EQ(form.queue.queueCount(), before);
    QTimer::singleShot(50, [] {
        if (QWidget* box = QApplication::activeModalWidget()) QTest::keyClick(box, Qt::Key_N);  // "Keep ?" No
    });
    QTimer::singleShot(300, [] {
        if (QWidget* box = QApplication::activeModalWidget()) QTest::keyClick(box, Qt::Key_Return);
    });
    form.Form_Unload();
    EXPECT_TRUE(form.window.unloaded());
}

}  // namespace
}  // namespace gb::qt
