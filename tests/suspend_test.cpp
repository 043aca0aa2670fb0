// Suspending images and bringing them back: the two lists, the queue, the position and the counters.

#include <gtest/gtest.h>

#include "tests/support/headless.h"
#include "help/form3.h"
#include "suspend/form2.h"

namespace gb {
namespace {

struct Suspend : ::testing::Test {
    test::Headless h;
    Form1& f = *h.form;
    Form2& w = f.form2();
    void SetUp() override { h.start(); }

    void scan(const std::vector<std::string>& names, const std::string& start) { h.openFolder("/pics", names, start); }
    void key(int code, int shift = 0) {
        f.window.onKeyDown(code, shift);
        h.events.runAll();
    }
    std::vector<std::string> queue() const { return f.DoveShow.listItems(); }
    void expectCounters() {
        EXPECT_EQ(f.queue.queueCount(), w.ListSI.listCount());
        EXPECT_EQ(f.Slab(1).caption(), "Tot=" + std::to_string(f.queue.queueCount()));
        EXPECT_EQ(w.TotSI.caption(), std::to_string(w.ListSI.listCount()));
        EXPECT_EQ(w.TotNO.caption(), std::to_string(w.ListNO.listCount()));
        ASSERT_EQ(f.DoveShow.listCount(), w.ListSI.listCount());
        for (int i = 0; i < w.ListSI.listCount(); ++i) EXPECT_EQ(f.DoveShow.listItem(i), "/pics/" + w.ListSI.listItem(i));
    }
};

TEST_F(Suspend, TheWorkedExampleOfThreeImages) {
    scan({"A.jpg", "B.jpg", "C.jpg"}, "B.jpg");
    f.TempoSlide.setEnabled(true);
    key(65, 1);  // Shift+A is A
    EXPECT_EQ(w.ListNO.listItems(), std::vector<std::string>{"B.jpg"});
    EXPECT_EQ(queue(), (std::vector<std::string>{"/pics/A.jpg", "/pics/C.jpg"}));
    EXPECT_EQ(f.queue.queuePos(), 2);
    EXPECT_EQ(f.queue.queueCount(), 2);
    EXPECT_EQ(f.Slab(2).caption(), "END");
    EXPECT_EQ(f.WebBrwI.locationURL(), "/pics/C.jpg");
    EXPECT_FALSE(f.TempoSlide.enabled());
    EXPECT_EQ(f.Slab(3).caption(), "Pause");
    expectCounters();

    key(65);  // C, the last one
    EXPECT_EQ(f.WebBrwI.locationURL(), "about:blank");
    EXPECT_EQ(f.DoveShow.text(), "");
    EXPECT_EQ(f.queue.queuePos(), 2);
    EXPECT_EQ(f.queue.queueCount(), 1);
    EXPECT_EQ(f.Slab(2).caption(), "END");
    EXPECT_EQ(w.ListNO.listItems(), (std::vector<std::string>{"B.jpg", "C.jpg"}));
    expectCounters();

    // Nothing is current now: another A changes no list or counter.
    key(65);
    EXPECT_EQ(w.ListNO.listCount(), 2);
    EXPECT_EQ(f.queue.queueCount(), 1);
    // Backspace shows the new last entry with END.
    key(8);
    EXPECT_EQ(f.Slab(2).caption(), "END");
    EXPECT_EQ(f.DoveShow.text(), "/pics/A.jpg");
}

TEST_F(Suspend, MovingANameBeforeOrAfterTheCurrentOneRepairsThePosition) {
    scan({"a.jpg", "b.jpg", "c.jpg", "d.jpg"}, "c.jpg");
    w.ListSI.userPick(0);  // before the current image
    w.ComNo.userClick();
    EXPECT_EQ(f.queue.queuePos(), 2);
    EXPECT_EQ(f.DoveShow.text(), "/pics/c.jpg");
    EXPECT_EQ(f.Slab(2).caption(), "Cur=2");
    w.ListSI.userPick(2);  // d, after it
    w.ComNo.userClick();
    EXPECT_EQ(f.queue.queuePos(), 2);
    EXPECT_EQ(f.Slab(2).caption(), "END");  // 2 is not below the count of 2
    EXPECT_EQ(f.Slab(1).caption(), "Tot=2");
    expectCounters();

    w.ListNO.userPick(0);  // a comes back before the current image
    w.ComSi.userClick();
    EXPECT_EQ(f.queue.queuePos(), 3);
    EXPECT_EQ(f.Slab(2).caption(), "END");
    EXPECT_EQ(f.DoveShow.listItem(f.queue.queuePos() - 1), "/pics/c.jpg");
    w.ListNO.userPick(0);  // d comes back after it
    w.ComSi.userClick();
    EXPECT_EQ(f.queue.queuePos(), 3);
    EXPECT_EQ(f.Slab(2).caption(), "Cur=3");
    EXPECT_EQ(w.ListNO.listCount(), 0);
    expectCounters();
    EXPECT_EQ(f.WebBrwI.locationURL(), "/pics/c.jpg");  // the image on show never changed
}

TEST_F(Suspend, NamesDifferingOnlyInCaseKeepThePositionOnTheImageOnShow) {
    scan({"B.jpg", "b.jpg", "c.jpg"}, "b.jpg");
    ASSERT_EQ(f.DoveShow.listItem(f.queue.queuePos() - 1), "/pics/b.jpg");
    w.ListSI.userPick(0);  // B.jpg, before it
    w.ComNo.userClick();
    EXPECT_EQ(f.DoveShow.listItem(f.queue.queuePos() - 1), "/pics/b.jpg");
    w.ListNO.userPick(0);
    w.ComSi.userClick();
    EXPECT_EQ(f.DoveShow.listItem(f.queue.queuePos() - 1), "/pics/b.jpg");
    expectCounters();
}

TEST_F(Suspend, TheArrowOnTheCurrentImageIsTheKeyA) {
    scan({"a.jpg", "b.jpg", "c.jpg"}, "a.jpg");
    w.ListSI.userPick(0);
    w.ComNo.userClick();
    EXPECT_EQ(w.ListNO.listItems(), std::vector<std::string>{"a.jpg"});
    h.events.runAll();
    EXPECT_EQ(f.WebBrwI.locationURL(), "/pics/b.jpg");
    EXPECT_EQ(f.queue.queuePos(), 1);
    EXPECT_EQ(f.Slab(3).caption(), "Pause");
}

TEST_F(Suspend, MovesWithNothingSelectedChangeNothing) {
    scan({"a.jpg", "b.jpg"}, "a.jpg");
    w.ComNo.userClick();
    w.ComSi.userClick();
    EXPECT_EQ(f.queue.queueCount(), 2);
    EXPECT_EQ(w.ListNO.listCount(), 0);
    EXPECT_EQ(f.queue.queuePos(), 1);
}

TEST_F(Suspend, ThePreviewFillsItsBoxAndTheButtonsFollowTheList) {
    scan({"a.jpg", "b.jpg"}, "a.jpg");
    h.probe.add("/pics/b.jpg", 400, 800);
    w.ListSI.userPick(1);
    EXPECT_EQ(w.previewName, "b.jpg");
    EXPECT_EQ(w.Minia.picturePath(), "/pics/b.jpg");
    EXPECT_EQ(w.Minia.height(), 129);
    EXPECT_EQ(w.Minia.width(), 64);
    EXPECT_EQ(w.Minia.left(), 448);
    EXPECT_TRUE(w.ComNo.enabled());
    EXPECT_FALSE(w.ComSi.enabled());
    w.ComNo.userClick();
    w.ListNO.userPick(0);
    EXPECT_FALSE(w.ComNo.enabled());
    EXPECT_TRUE(w.ComSi.enabled());
    // A file that cannot be read leaves the preview as it was.
    h.files.folders["/pics"].push_back("gone.jpg");
    w.ListSI.addItem("gone.jpg");
    w.ListSI.userPick(w.ListSI.listCount() - 1);
    EXPECT_EQ(w.Minia.picturePath(), "/pics/b.jpg");
}

TEST_F(Suspend, OpeningPausesAndHidesTheMainWindowClosingRebuildsTheThumbnails) {
    scan({"a.jpg", "b.jpg", "c.jpg"}, "a.jpg");
    f.TempoSlide.setEnabled(true);
    f.menuGestAcc_Click();
    EXPECT_FALSE(f.window.visible());
    EXPECT_TRUE(w.window.visible());
    EXPECT_FALSE(f.TempoSlide.enabled());
    EXPECT_EQ(f.Slab(3).caption(), "Pause");
    w.ListSI.userPick(2);
    w.ComNo.userClick();
    EXPECT_TRUE(w.window.onQueryUnload());  // the close box only hides it
    EXPECT_FALSE(w.window.visible());
    EXPECT_TRUE(f.window.visible());
    EXPECT_EQ(f.ThumbsList.text().find("c.jpg"), std::string::npos);
    EXPECT_EQ(f.HDocBrwT->bodyHTML(), f.ThumbsList.text());
    EXPECT_FALSE(f.TempoSlide.enabled());
}

TEST_F(Suspend, KeyARefreshesTheThumbnailBarAndScrollsItOnceLoaded) {
    scan({"a.jpg", "b.jpg", "c.jpg", "d.jpg"}, "b.jpg");
    f.menuThumb_Click();
    f.HDocBrwT->platformScrollHeight(300);
    int a = 65;
    f.window.onKeyDown(a, 0);
    EXPECT_EQ(f.thumbsScrollPending, -1);
    EXPECT_EQ(f.ThumbsList.text().find("/pics/b.jpg"), std::string::npos);
    EXPECT_TRUE(f.Tastiera.hasFocus());
    h.events.runAll();
    // The reloaded page was written and the pending scroll done (SyncThumbs gives the bar the focus).
    EXPECT_EQ(f.HDocBrwT->bodyHTML(), f.ThumbsList.text());
    EXPECT_EQ(f.thumbsScrollPending, 0);
    EXPECT_TRUE(f.WebBrwT.hasFocus());
}

}  // namespace
}  // namespace gb
