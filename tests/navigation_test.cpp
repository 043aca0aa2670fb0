// Forward, backward and jump by name: the position, the image browser and the pause state after each move.

#include <gtest/gtest.h>

#include "tests/support/headless.h"

namespace gb {
namespace {

using test::Headless;

struct Navigation : ::testing::Test {
    Headless h;
    Form1& f = *h.form;
    void SetUp() override { h.start(); }

    void queue(int n) {
        std::vector<std::string> paths;
        for (int i = 1; i <= n; ++i) paths.push_back("/pics/img" + std::to_string(100 + i) + ".jpg");
        h.fillQueue(paths);
    }
    // Puts the viewer on position `pos` with the given pause state, as earlier moves would have left it.
    void at(int pos, bool paused) {
        h.queueAt(pos);
        f.TempoSlide.setEnabled(!paused);
        f.Slab(3).setCaption(paused ? "Pause" : "");
        f.Slab(2).setCaption("Cur=" + std::to_string(pos));
    }
    std::string shown() {
        h.events.runAll();
        return f.WebBrwI.locationURL();
    }
    static std::string path(int pos) { return "/pics/img" + std::to_string(100 + pos) + ".jpg"; }
};

struct Expect {
    bool timer;
    std::string pause;
    std::string position;
    int queuePos;
};

void check(Form1& f, const Expect& e) {
    EXPECT_EQ(f.TempoSlide.enabled(), e.timer);
    EXPECT_EQ(f.Slab(3).caption(), e.pause);
    EXPECT_EQ(f.Slab(2).caption(), e.position);
    EXPECT_EQ(f.queue.queuePos(), e.queuePos);
}

TEST_F(Navigation, ForwardMovesShowsTheFileAndRunsTheSlideshow) {
    queue(3);
    at(0, true);
    f.menuSAvanti_Click();
    check(f, {true, "", "Cur=1", 1});
    EXPECT_EQ(f.DoveShow.text(), path(1));
    EXPECT_EQ(f.labelShow.caption(), path(1));
    EXPECT_EQ(shown(), path(1));
    EXPECT_EQ(f.imageTag, "<IMG src=\"file:///pics/img101.jpg\">");
}

TEST_F(Navigation, ForwardOntoTheLastEntryWritesEnd) {
    queue(3);
    at(2, true);
    f.menuSAvanti_Click();
    check(f, {true, "", "END", 3});
    EXPECT_EQ(shown(), path(3));
}

TEST_F(Navigation, ForwardAtTheLastEntryOnlyStopsTheTimer) {
    queue(3);
    at(3, true);
    f.Slab(2).setCaption("END");
    f.menuSAvanti_Click();
    check(f, {false, "Pause", "END", 3});
    EXPECT_EQ(h.events.pending(), 0u);  // nothing navigated

    at(3, false);
    f.Slab(2).setCaption("END");
    f.menuSAvanti_Click();
    check(f, {false, "", "END", 3});
}

TEST_F(Navigation, ForwardOnAnEmptyQueueChangesNothingButTheTimer) {
    f.TempoSlide.setEnabled(true);
    f.menuSAvanti_Click();
    check(f, {false, "", "Cur=0", 0});
    EXPECT_EQ(shown(), "about:blank");
}

TEST_F(Navigation, ForwardWhilePausedOnAnEarlierEntryRemovesThePause) {
    queue(3);
    at(1, true);
    f.menuSAvanti_Click();
    check(f, {true, "", "Cur=2", 2});
}

TEST_F(Navigation, BackwardMovesAndPauses) {
    queue(3);
    at(3, false);
    f.menuSIndietro_Click();
    check(f, {false, "Pause", "Cur=2", 2});
    EXPECT_EQ(f.DoveShow.text(), path(2));
    EXPECT_EQ(shown(), path(2));
}

TEST_F(Navigation, BackwardAtTheFirstEntryStopsTheSlideshowWithoutPause) {
    queue(3);
    at(1, false);
    f.menuSIndietro_Click();
    check(f, {false, "", "Cur=1", 1});
    at(0, false);
    f.menuSIndietro_Click();
    check(f, {false, "", "Cur=0", 0});
    EXPECT_EQ(h.events.pending(), 0u);
}

TEST_F(Navigation, AfterTheLastImageWentAwayEnterStopsAndBackspaceShowsTheNewLast) {
    queue(4);
    at(4, false);
    f.queue.removeAt(3);  // the fourth and last image was suspended: nothing is current
    f.menuSAvanti_Click();
    check(f, {false, "", "END", 4});
    f.menuSIndietro_Click();
    check(f, {false, "Pause", "END", 3});
    EXPECT_EQ(shown(), path(3));
}

TEST_F(Navigation, QueueOfOneShowsEndAndTheNextForwardOnlyStopsTheTimer) {
    queue(1);
    f.menuSAvanti_Click();
    check(f, {true, "", "END", 1});
    f.menuSAvanti_Click();
    check(f, {false, "", "END", 1});
}

TEST_F(Navigation, JumpByNamePausesAndNeverWritesEnd) {
    queue(3);
    at(1, false);
    f.DoveShow.userPick(2);
    check(f, {false, "Pause", "Cur=3", 3});
    EXPECT_EQ(f.labelShow.caption(), path(3));
    EXPECT_EQ(shown(), path(3));
}

TEST_F(Navigation, JumpFindsTheExactNameAmongNamesEqualButForCase) {
    h.fillQueue({"/pics/A.jpg", "/pics/a.jpg", "/pics/b.jpg"});
    ASSERT_EQ(f.DoveShow.listItem(1), "/pics/a.jpg");
    f.DoveShow.userPick(1);
    EXPECT_EQ(f.queue.queuePos(), 2);
    EXPECT_EQ(f.Slab(2).caption(), "Cur=2");
}

TEST_F(Navigation, JumpToANameNotInTheListKeepsThePosition) {
    queue(3);
    at(2, false);
    f.DoveShow.setText("/elsewhere/x.jpg");
    f.DoveShow_Click();
    check(f, {false, "Pause", "Cur=2", 2});
    EXPECT_EQ(f.labelShow.caption(), "/elsewhere/x.jpg");
}

TEST_F(Navigation, JumpWhileTheInstructionsAreShownDoesNothing) {
    queue(3);
    at(1, false);
    f.menuHelpRegole.setChecked(true);
    const std::string before = f.labelShow.caption();
    f.DoveShow.userPick(2);
    check(f, {true, "", "Cur=1", 1});
    EXPECT_EQ(f.labelShow.caption(), before);
    EXPECT_EQ(h.events.pending(), 0u);
}

TEST_F(Navigation, HiddenThumbnailBarIsLeftAlone) {
    queue(3);
    f.Tastiera.setFocus();
    f.HDocBrwT->platformScrollHeight(300);
    f.menuSAvanti_Click();
    f.menuSAvanti_Click();
    f.menuSIndietro_Click();
    f.DoveShow.userPick(2);
    EXPECT_TRUE(f.Tastiera.hasFocus());
    EXPECT_EQ(f.HDocBrwT->scrollY(), 0);
}

TEST_F(Navigation, ShownThumbnailBarFollowsEveryMove) {
    queue(40);
    f.WebBrwT.setVisible(true);
    f.HDocBrwT->platformScrollHeight(4000);
    at(10, true);
    f.menuSAvanti_Click();  // position 11
    EXPECT_TRUE(f.WebBrwT.hasFocus());
    EXPECT_EQ(f.HDocBrwT->scrollY(), 1000);
    f.Tastiera.setFocus();
    f.menuSIndietro_Click();  // position 10
    EXPECT_TRUE(f.WebBrwT.hasFocus());
    EXPECT_EQ(f.HDocBrwT->scrollY(), 900);
    f.DoveShow.userPick(0);
    EXPECT_EQ(f.HDocBrwT->scrollY(), 0);
}

TEST_F(Navigation, SyncThumbsRoundsHalvesToEvenAndSkipsAnEmptyQueue) {
    f.WebBrwT.setVisible(true);
    f.HDocBrwT->platformScrollHeight(1001);
    f.Tastiera.setFocus();
    f.SyncThumbs();  // empty queue: nothing
    EXPECT_TRUE(f.Tastiera.hasFocus());
    queue(2);
    h.queueAt(2);
    f.SyncThumbs();  // 1001 / 2 * 1 = 500.5
    EXPECT_EQ(f.HDocBrwT->scrollY(), 500);
    f.HDocBrwT->platformScrollHeight(1003);
    f.SyncThumbs();  // 501.5
    EXPECT_EQ(f.HDocBrwT->scrollY(), 502);
}

TEST_F(Navigation, MenuItemsReachTheMovesOnceTheirMenuIsUsable) {
    queue(2);
    f.menuSAvanti.userClick();  // the Slideshow menu is still disabled
    EXPECT_EQ(f.queue.queuePos(), 0);
    f.menuSlShow.setEnabled(true);
    f.menuSAvanti.userClick();
    f.menuSAvanti.userClick();
    f.menuSIndietro.userClick();
    EXPECT_EQ(f.queue.queuePos(), 1);
}

}  // namespace
}  // namespace gb
