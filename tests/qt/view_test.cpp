// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt view of the main window on the offscreen platform: widgets at the model's places, menus as the logic
// keeps them, keys seen by the window first, and image pixels drawn by the browser view.

#include "platform/qt/view/window_view.h"

#include <gtest/gtest.h>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSemaphore>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>

#include <atomic>

#include "app/form1.h"
#include "platform/qt/qt_services.h"
#include "platform/qt/view/browser_view.h"
#include "platform/qt/viewer.h"
#include "tests/qt/image_files.h"
#include "tests/qt/on_screen.h"

namespace gb::qt {
namespace {

struct MainWindowView : ::testing::Test, test::OnScreen {
    WindowView* view = &viewer->view;

    void SetUp() override {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
        QApplication::processEvents();
    }
    template <class W>
    W* widget(platform::Control& c) {
        return qobject_cast<W*>(view->widgetFor(&c));
    }
};

TEST_F(MainWindowView, ControlsStandWhereTheModelPlacesThemAndFollowItsChanges) {
    view->resize(900, 700);
    QApplication::processEvents();
    EXPECT_EQ(form.window.scaleWidth(), view->clientArea()->width());  // the model's client size is the widget's
    for (platform::Control* c : form.controls()) {
        const QWidget* w = view->widgetFor(c);
        const QRect placed = w && c->visible() ? QRect(c->left(), c->top(), c->width(), c->height()) : QRect();
        EXPECT_EQ(w && c->visible() ? w->geometry() : QRect(), placed) << c->name();
    }
    EXPECT_EQ(widget<QComboBox>(form.DoveShow)->currentText(), QDir::currentPath());
    EXPECT_EQ(widget<QLabel>(form.Slab(1))->parentWidget(), view->widgetFor(&form.FraBot));
}

// Enter in the folder box is the window's forward step, never also a pick (which would set the pause); arrows,
// typing and the wheel on the closed box pick nothing. A pick from the open list is the box's Click.
TEST_F(MainWindowView, OnlyAPickFromTheOpenListRaisesTheFolderBoxClick) {
    form.DoveShow.addItem("/pics/b.jpg");
    form.DoveShow.addItem("/pics/a.jpg");
    form.queue.startBefore(form.DoveShow.listItem(0));
    QComboBox* dove = widget<QComboBox>(form.DoveShow);
    ASSERT_EQ(dove->count(), 2);
    // Typed keys go to the window's focus object, which follows the widget's focus through the event loop.
    const auto focusDove = [&] {
        dove->setFocus();
        return QTest::qWaitFor([&] { return view->windowHandle()->focusObject() == dove; }, 2000);
    };
    ASSERT_TRUE(focusDove());
    QTest::keyClick(dove, Qt::Key_Return);
    EXPECT_EQ(form.queue.queuePos(), 1);
    EXPECT_EQ(form.Slab(3).caption(), "");
    ASSERT_TRUE(focusDove());
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_PageDown, Qt::Key_End, Qt::Key_Enter}) {
        if (key == Qt::Key_Enter) form.queue.startBefore(form.DoveShow.listItem(0));
        QTest::keyClick(dove, key);
        ASSERT_TRUE(focusDove());
    }
    QTest::keyClicks(dove, "x");
    QWheelEvent wheel(QPointF(5, 5), dove->mapToGlobal(QPointF(5, 5)), {}, QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(dove, &wheel);
    EXPECT_EQ(form.queue.queuePos(), 1) << "only the Enter moved forward";
    EXPECT_EQ(form.Slab(3).caption(), "");

    dove->showPopup();
    dove->view()->setCurrentIndex(dove->model()->index(1, 0));
    QTest::keyClick(dove->view(), Qt::Key_Return);
    EXPECT_EQ(form.queue.queuePos(), 2);
    EXPECT_EQ(form.Slab(2).caption(), "Cur=2");
    EXPECT_EQ(form.Slab(3).caption(), "Pause");
    EXPECT_EQ(widget<QLabel>(form.Slab(3))->text(), "Pause");
}

TEST_F(MainWindowView, TheWindowSeesKeysBeforeTheFocusedControl) {
    std::vector<int> seen;
    form.window.onKeyDown = [&](int& code, int) {
        seen.push_back(code);
        if (code == 90) code = 0;  // swallowed
    };
    form.Tastiera.setFocus();
    QApplication::processEvents();
    QWidget* keys = view->widgetFor(&form.Tastiera);
    ASSERT_TRUE(keys);
    ASSERT_TRUE(keys->hasFocus());
    QTest::keyClick(keys, Qt::Key_Return);
    QTest::keyClick(keys, Qt::Key_A, Qt::ShiftModifier);
    QTest::keyClick(keys, Qt::Key_Z);
    EXPECT_EQ(seen, (std::vector<int>{13, 65, 90}));
    // The focus holder is no text field: no on-screen keyboard rises for it (what a screen reader makes of it:
    // tests/e2e/keyboard_access.py).
    EXPECT_FALSE(keys->testAttribute(Qt::WA_InputMethodEnabled));
}

// The picture drawn centred at its size on the image page, and larger after a zoom step.
TEST_F(MainWindowView, TheImagePageDrawsThePictureCentredAtItsSizeAndZoomed) {
    ASSERT_TRUE(test::writePicture(file("green pic.jpg"), 200, 100, "JPG", QColor(0, 160, 0)));
    open("green pic.jpg");
    ASSERT_TRUE(shows("green pic.jpg"));
    EXPECT_NE(form.HDocBrwI->bodyHTML().find("WIDTH=200 HEIGHT=100></center>"), std::string::npos);
    const auto green = [](QColor c) { return c.green() > 120 && c.red() < 60 && c.blue() < 60; };
    QRect box = drawnBox(green, {200, 100});
    EXPECT_EQ(box.size(), QSize(200, 100));
    EXPECT_LE(std::abs(box.center().x() - imagePage()->width() / 2), 2);
    EXPECT_GT(box.top(), (imagePage()->height() - 100) / 4);  // the line breaks push it down, roughly halfway
    form.menuSPiu_Click();
    EXPECT_EQ(drawnBox(green, {220, 110}).size(), QSize(220, 110));
}

// A folder of thousands: the bar is laid out around what is in view and read in the background, and the
// thumbnail of a picture deep in the queue is drawn where the bar scrolls to.
TEST_F(MainWindowView, TheThumbnailBarOfThousandsShowsTheThumbnailOfThePictureOnShow) {
    ASSERT_TRUE(test::writePicture(file("p00000.jpg"), 64, 48, "JPG", QColor(0, 160, 0)));
    const int count = 1500;
    for (int i = 1; i < count; ++i)
        ASSERT_TRUE(QFile::link(file("p00000.jpg"), file(QStringLiteral("p%1.jpg").arg(i, 5, 10, QChar('0')))));
    open("p00000.jpg");
    ASSERT_TRUE(shows("p00000.jpg"));
    form.DoveShow.userPick(1234);
    ASSERT_TRUE(shows("p01234.jpg"));
    auto* bar = widget<BrowserView>(form.WebBrwT);
    QSet<QString> drawn;
    QObject::connect(bar, &BrowserView::pictureDrawn, [&](const QString& path, QSize) { drawn.insert(path); });
    form.menuThumb_Click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return drawn.contains(file("p01234.jpg")); }, 5000));
    // The page's height is the whole page's: the bar scrolled to the picture's place, a pitch per entry.
    const int height = form.HDocBrwT->scrollHeight();
    EXPECT_NEAR(bar->verticalScrollBar()->value(), static_cast<double>(height) * 1234 / count, 2);
}

// A picture taller than the view opens at its top, as a web browser shows a page, not at its foot.
TEST_F(MainWindowView, APictureTallerThanTheViewIsShownFromItsTop) {
    QImage tall(300, 3000, QImage::Format_RGB32);
    tall.fill(QColor(0, 160, 0));
    for (int y = 1500; y < 3000; ++y)
        for (int x = 0; x < 300; ++x) tall.setPixelColor(x, y, QColor(200, 0, 0));
    ASSERT_TRUE(tall.save(file("tall.jpg"), "JPG"));
    open("tall.jpg");
    ASSERT_TRUE(shows("tall.jpg"));
    const auto green = [](QColor c) { return c.green() > 120 && c.red() < 60 && c.blue() < 60; };
    const auto red = [](QColor c) { return c.red() > 150 && c.green() < 60 && c.blue() < 60; };
    EXPECT_FALSE(drawnBox(green).isEmpty());
    EXPECT_TRUE(drawnBox(red, {}, 0).isEmpty());
}

// A step onto a picture still decoding keeps the one before on the page until the new one can be drawn.
TEST_F(MainWindowView, AStepShowsThePreviousPictureUntilTheNextIsDrawnNeverAnEmptyPage) {
    ASSERT_TRUE(test::writePicture(file("a.jpg"), 200, 100, "JPG", QColor(0, 160, 0)));
    ASSERT_TRUE(test::writePicture(file("b.jpg"), 200, 100, "JPG", QColor(200, 0, 0)));
    loader.setPreloading(false);
    open("a.jpg");
    ASSERT_TRUE(shows("a.jpg"));
    const auto green = [](QColor c) { return c.green() > 120 && c.red() < 60 && c.blue() < 60; };
    const auto red = [](QColor c) { return c.red() > 150 && c.green() < 60 && c.blue() < 60; };
    const QRect before = drawnBox(green, {200, 100});
    // The only worker is busy: b, not decoded ahead, waits for it (freed however the test ends).
    QSemaphore gate;
    const auto freeWorker = qScopeGuard([&] {
        if (gate.available() == 0) gate.release();
    });
    loader.workers().setMaxThreadCount(1);
    std::atomic<bool> blocking = false;
    loader.workers().start(
        [&] {
            blocking = true;
            gate.acquire();
        },
        100);
    ASSERT_TRUE(QTest::qWaitFor([&] { return blocking.load(); }, 5000));
    int enter = 13;
    form.window.onKeyDown(enter, 0);
    ASSERT_EQ(form.DoveShow.text(), toStdString(file("b.jpg")));
    // Until b is drawn, every look at the page finds a where it was: never the empty page between them.
    QElapsedTimer clock;
    clock.start();
    int greenLooks = 0;
    for (bool redSeen = false; !redSeen && clock.elapsed() < 5000;) {
        const QImage shot = imagePage()->grab().toImage();
        for (const QPoint p : {before.topLeft(), before.center(), before.bottomRight()}) {
            const QColor c = shot.pixelColor(p);
            ASSERT_TRUE(green(c) || red(c)) << p.x() << "," << p.y() << " shows " << qPrintable(c.name());
            redSeen = red(c);
            greenLooks += green(c);
        }
        if (clock.elapsed() > 100 && gate.available() == 0) gate.release();
        QTest::qWait(10);
    }
    EXPECT_GT(greenLooks, 0);
    EXPECT_EQ(drawnBox(red, {200, 100}), before);
}

TEST(QtMessageBoxesTest, EscapeGivesTheAnswerThatKeepsFiles) {
    QtMessageBoxes boxes;
    for (const auto keeps : {platform::MessageAnswer::No, platform::MessageAnswer::Yes}) {
        QTimer::singleShot(50, [] {
            if (QWidget* box = QApplication::activeModalWidget()) QTest::keyClick(box, Qt::Key_Escape);
        });
        const auto answer = boxes.show(
            {"Are you sure ?", "ERASE FROM DISK", platform::MessageButtons::YesNo, platform::MessageIcon::None, keeps});
        EXPECT_EQ(answer, keeps);
    }
}

// Its title and texts are read on screen (tests/e2e/keyboard_access.py).
TEST_F(MainWindowView, AboutIsModalAndOkCloses) {
    bool modal = false;
    QTimer::singleShot(100, [&] {
        QWidget* about = QApplication::activeModalWidget();
        modal = about != nullptr;
        for (QPushButton* b : about ? about->findChildren<QPushButton*>() : QList<QPushButton*>()) b->click();
    });
    form.nenuAbout.userClick();
    EXPECT_TRUE(modal);
}

}  // namespace
}  // namespace gb::qt
