// The instructions page, the shortcut list and the About window.

#include <gtest/gtest.h>

#include "tests/support/headless.h"
#include "help/form3.h"
#include "suspend/form2.h"

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

TEST_F(Help, TheInstructionsPageHasItsTitleSectionsInOrderAndClosingLine) {
    const std::string& page = f.Info.text();
    std::size_t at = page.find("Glimmerbox Usage Instructions");
    ASSERT_NE(at, std::string::npos);
    for (const char* heading : {"STARTING", "IMAGES FLOW", "THUMBNAILS BAR", "PAUSE", "IMAGE SIZE",
                                "FULL SCREEN MODE", "CANCELLING OR SUSPENDING IMAGES", "W/H SCREEN RATIO CORRECTION"}) {
        const std::size_t next = page.find(std::string("<h4><font color=\"red\">") + heading + "</font></h4>", at);
        ASSERT_NE(next, std::string::npos) << heading;
        at = next;
    }
    EXPECT_EQ(page.substr(page.size() - 35), "<br><br><center>(F1 = END)</center>");
}

TEST_F(Help, TheShortcutListHasThirteenExactLines) {
    f.TempoSlide.setEnabled(true);
    f.menuHelpAcc.userClick();
    ASSERT_EQ(h.messages.shown.size(), 1u);
    const auto& box = h.messages.shown[0];
    EXPECT_EQ(box.title, "    GLIMMERBOX SHORTCUTS");
    EXPECT_EQ(box.buttons, platform::MessageButtons::Ok);
    EXPECT_EQ(box.icon, platform::MessageIcon::None);
    const std::string expected =
        "Enter" + std::string(9, ' ') + "= Go forward (and Pause remove)\r\n" +
        "<---" + std::string(11, ' ') + "= Go backward (and Pause set)\r\n" +
        "image click" + std::string(2, ' ') + "= Pause set/remove\r\n" +
        "ESC" + std::string(10, ' ') + "= Full screen/Normal screen\r\n" +
        "+" + std::string(14, ' ') + "= Increase image size 10%\r\n" +
        " -" + std::string(14, ' ') + "= Reduce image size 10%\r\n" +
        "0" + std::string(14, ' ') + "= Reset original image size\r\n" +
        "A" + std::string(14, ' ') + "= Suspend current image from the Show\r\n" +
        "Z" + std::string(14, ' ') + "= Cancel current image from its Folder\r\n" +
        "Q" + std::string(13, ' ') + "= Synchronize thumbnails and current image\r\n" +
        "F1" + std::string(12, ' ') + "= Show/Hide 'Instructions'\r\n" +
        "F2" + std::string(12, ' ') + "= Show/Hide 'Thumbnails'\r\n" +
        "F3" + std::string(12, ' ') + "= Show 'Suspended images list'";
    EXPECT_EQ(box.text, expected);
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
