// The instructions page, the shortcut list and the About window.

#include <gtest/gtest.h>

#include <algorithm>

#include "help/form3.h"
#include "suspend/form2.h"
#include "tests/support/headless.h"

namespace gb {
namespace {

struct Help : ::testing::Test {
    test::Headless h;
    Form1& f = *h.form;
    void SetUp() override { h.start(); }
    void scan() { h.openFolder("/pics", {"a.jpg", "b.jpg"}, "a.jpg"); }
    bool fourMenusEnabled() const {
        return f.menuFile.enabled() && f.menuView.enabled() && f.menuSlShow.enabled() && f.menuStrumenti.enabled();
    }
};

TEST_F(Help, F1BeforeAnyImageShowsTheInstructionsAndWritesAnEmptyPageBack) {
    f.menuHelpRegole.userClick();
    EXPECT_TRUE(f.menuHelpRegole.checked());
    EXPECT_EQ(f.HDocBrwI->bodyHTML(), f.Info.text());
    EXPECT_NE(f.Info.text().find("Glimmerbox Usage Instructions"), std::string::npos);
    EXPECT_EQ(f.Info.text().substr(f.Info.text().size() - 35), "<br><br><center>(F1 = END)</center>");
    EXPECT_FALSE(f.menuFile.enabled());
    EXPECT_FALSE(f.menuView.enabled());
    EXPECT_TRUE(f.menuHelp.enabled());
    f.menuHelpRegole.userClick();
    EXPECT_FALSE(f.menuHelpRegole.checked());
    EXPECT_EQ(f.HDocBrwI->bodyHTML(), "");
    EXPECT_TRUE(fourMenusEnabled());
    EXPECT_EQ(f.savedImagePage, "");
}

TEST_F(Help, F1AfterAnImagePutsItsPageBackExactly) {
    scan();
    const std::string page = f.HDocBrwI->bodyHTML();
    ASSERT_NE(page.find("WIDTH=64 HEIGHT=48"), std::string::npos);
    f.menuHelpRegole_Click();
    EXPECT_EQ(f.savedImagePage, page);
    f.menuHelpRegole_Click();
    EXPECT_EQ(f.HDocBrwI->bodyHTML(), page);
    EXPECT_TRUE(fourMenusEnabled());
}

TEST_F(Help, F1RemovesTheThumbnailBarAndPausesTheSlideshowForGood) {
    scan();
    f.menuThumb_Click();
    f.menuSPausa_Click();  // running
    ASSERT_TRUE(f.TempoSlide.enabled());
    f.menuHelpRegole_Click();
    EXPECT_FALSE(f.menuThumb.checked());
    EXPECT_FALSE(f.WebBrwT.visible());
    EXPECT_FALSE(f.TempoSlide.enabled());
    EXPECT_EQ(f.Slab(3).caption(), "Pause");
    // While shown: keys, clicks, ticks and picks do nothing.
    int enter = 13;
    f.window.onKeyDown(enter, 0);
    f.HDocBrwI->userClick("", "");
    f.DoveShow.userPick(1);
    EXPECT_EQ(f.queue.queuePos(), 1);
    EXPECT_FALSE(f.TempoSlide.enabled());
    f.menuHelpRegole_Click();
    EXPECT_FALSE(f.WebBrwT.visible());
    EXPECT_FALSE(f.TempoSlide.enabled());
}

TEST_F(Help, TheShortcutsAreAMessageThatLeavesTheSlideshowRunning) {
    f.TempoSlide.setEnabled(true);
    f.menuHelpAcc.userClick();
    ASSERT_EQ(h.messages.shown.size(), 1u);
    const auto& box = h.messages.shown[0];
    EXPECT_EQ(box.title, "    GLIMMERBOX SHORTCUTS");
    EXPECT_EQ(box.buttons, platform::MessageButtons::Ok);
    // Thirteen lines, one per command; their words are checked on screen (tests/e2e/start_menus_close.py).
    EXPECT_EQ(std::count(box.text.begin(), box.text.end(), '\n'), 12);
    EXPECT_TRUE(f.TempoSlide.enabled());
}

TEST_F(Help, AboutShowsTheInformationWindowUntilOk) {
    std::string caption, version;
    bool bold = false, unloaded = false;
    f.showModal = [&](Form3& about) {
        caption = about.window.caption();
        version = about.Version.caption();
        bold = about.Version.appearance.bold;
        EXPECT_EQ(about.Command1.caption(), "OK");
        EXPECT_FALSE(about.Credits.caption().empty());
        about.Command1.userClick();
        unloaded = about.window.unloaded();
    };
    f.nenuAbout.userClick();
    EXPECT_EQ(caption, "   Information");
    EXPECT_EQ(version, "Glimmerbox v 1.0");
    EXPECT_TRUE(bold);
    EXPECT_TRUE(unloaded);
}

}  // namespace
}  // namespace gb
