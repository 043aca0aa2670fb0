// The slideshow timer, the interval box, the pause command and the keys that reach the commands.

#include <gtest/gtest.h>

#include "tests/support/headless.h"

namespace gb {
namespace {

struct Slideshow : ::testing::Test {
    test::Headless h;
    Form1& f = *h.form;
    void SetUp() override {
        h.start();
        h.fillQueue({"/pics/1.jpg", "/pics/2.jpg", "/pics/3.jpg"});
        f.folderPath = "/pics";
        f.menuSAvanti_Click();  // position 1, running
        h.events.runAll();
    }
    bool paused() const { return !f.TempoSlide.enabled() && f.Slab(3).caption() == "Pause"; }
    bool running() const { return f.TempoSlide.enabled() && f.Slab(3).caption().empty(); }
    int key(int code) {
        f.window.onKeyDown(code, 0);
        return code;
    }
};

TEST_F(Slideshow, EachTickMovesForwardUntilTheLastImageStopsIt) {
    f.TempoSlide.elapse();
    EXPECT_EQ(f.queue.queuePos(), 2);
    EXPECT_TRUE(running());
    f.TempoSlide.elapse();
    EXPECT_EQ(f.Slab(2).caption(), "END");
    f.TempoSlide.elapse();
    EXPECT_FALSE(f.TempoSlide.enabled());
    EXPECT_EQ(f.Slab(3).caption(), "");
    EXPECT_EQ(f.queue.queuePos(), 3);
    EXPECT_TRUE(f.Tastiera.hasFocus());
}

TEST_F(Slideshow, TheTickReadsTheIntervalBoxAndSkipsTextThatIsNoNumber) {
    f.Pausa.setText("3");
    f.TempoSlide.elapse();
    EXPECT_EQ(f.TempoSlide.interval(), 3000);
    f.Pausa.setText("x");
    f.TempoSlide.elapse();
    EXPECT_EQ(f.TempoSlide.interval(), 3000);
    EXPECT_EQ(f.queue.queuePos(), 3);
}

TEST_F(Slideshow, ATickWhileTheInstructionsAreShownChangesNothing) {
    f.menuHelpRegole.setChecked(true);
    f.TempoSlide.elapse();
    EXPECT_EQ(f.queue.queuePos(), 1);
    EXPECT_TRUE(f.TempoSlide.enabled());
}

TEST_F(Slideshow, ThePauseCommandTogglesOnTheTimerAloneAndRewritesTheStatusLine) {
    f.menuSPausa_Click();
    EXPECT_TRUE(paused());
    EXPECT_NE(f.BarGiu.text().find("     Pause"), std::string::npos) << f.BarGiu.text();
    f.menuSPausa_Click();
    EXPECT_TRUE(running());
    // A finished slideshow: timer off without the label; the command starts it, the next tick stops it.
    f.menuSAvanti_Click();
    f.menuSAvanti_Click();
    f.menuSAvanti_Click();
    ASSERT_FALSE(f.TempoSlide.enabled());
    ASSERT_EQ(f.Slab(3).caption(), "");
    f.menuSPausa_Click();
    EXPECT_TRUE(running());
    f.TempoSlide.elapse();
    EXPECT_FALSE(f.TempoSlide.enabled());
    EXPECT_EQ(f.Slab(3).caption(), "");
}

TEST_F(Slideshow, PickingAnIntervalStartsAFullCountdownAndRemovesThePause) {
    f.menuSIndietro_Click();  // at 1: timer off, no label
    f.menuSPausa_Click();
    f.menuSPausa_Click();
    ASSERT_TRUE(paused());
    f.Pausa.userPick(2);
    EXPECT_EQ(f.Pausa.text(), "3");
    EXPECT_EQ(f.TempoSlide.interval(), 3000);
    EXPECT_TRUE(running());
}

TEST_F(Slideshow, AClickOnTheImageTogglesThePauseAndCancelsTheClick) {
    EXPECT_FALSE(f.HDocBrwI->userClick("", ""));
    EXPECT_TRUE(paused());
    EXPECT_FALSE(f.HDocBrwI->userClick("", ""));
    EXPECT_TRUE(running());
    f.menuHelpRegole.setChecked(true);
    EXPECT_FALSE(f.HDocBrwI->userClick("", ""));
    EXPECT_TRUE(running());
}

TEST_F(Slideshow, KeysCallTheCommandsEvenWhileTheirMenusAreDisabled) {
    f.menuSlShow.setEnabled(false);
    f.menuView.setEnabled(false);
    EXPECT_EQ(key(13), 13);  // the key code is never changed
    EXPECT_EQ(f.queue.queuePos(), 2);
    key(8);
    EXPECT_EQ(f.queue.queuePos(), 1);
    EXPECT_TRUE(paused());
    h.events.runAll();
    key(187);
    EXPECT_EQ(f.shownWidth, 704);
    key(109);
    EXPECT_EQ(f.shownWidth, 634);
    key(96);  // keypad 0: nothing
    EXPECT_EQ(f.shownWidth, 634);
    key(48);
    EXPECT_EQ(f.shownWidth, 640);
    key(107);
    key(189);
    EXPECT_EQ(f.shownWidth, 634);
    f.Tastiera.setText("junk");
    key(70);
    EXPECT_EQ(f.Tastiera.text(), "");
    EXPECT_TRUE(f.Tastiera.hasFocus());
}

TEST_F(Slideshow, KeysDoNothingWhileTheInstructionsAreShown) {
    f.menuHelpRegole.setChecked(true);
    key(13);
    key(8);
    EXPECT_EQ(f.queue.queuePos(), 1);
}

TEST_F(Slideshow, QScrollsAShownThumbnailBarToTheCurrentImage) {
    f.HDocBrwT->platformScrollHeight(300);
    h.queueAt(3);
    key(81);
    EXPECT_EQ(f.HDocBrwT->scrollY(), 0);  // bar hidden
    f.WebBrwT.setVisible(true);
    key(81);
    EXPECT_EQ(f.HDocBrwT->scrollY(), 200);
    f.DoveShow.clear();
    f.queue.reset();
    key(81);
    EXPECT_EQ(f.HDocBrwT->scrollY(), 0);
}

TEST_F(Slideshow, TheScanLeavesTheSlideshowPaused) {
    h.files.folders["/pics"] = {"1.jpg", "2.jpg"};
    f.menuFileAnnulla_Click();
    h.fileDialog.answers.push_back(platform::OpenFileAnswer{"/pics/1.jpg", 1});
    f.menuFileScegli_Click();
    EXPECT_TRUE(paused());
}

}  // namespace
}  // namespace gb
