// Entering and leaving full-screen mode, and the two fit options.

#include <gtest/gtest.h>

#include "tests/support/headless.h"

namespace gb {
namespace {

using test::Headless;

struct FullScreen : ::testing::Test {
    Headless h;
    Form1& f = *h.form;
    void SetUp() override {
        h.start();
        h.probe.add("/pics/a.jpg", 1600, 1200);
        h.probe.add("/pics/b.jpg", 200, 100);
        h.files.folders["/pics"] = {"a.jpg", "b.jpg"};
        h.fileDialog.answers.push_back(platform::OpenFileAnswer{"/pics/a.jpg", 1});
        f.menuFileScegli_Click();
        h.events.runAll();
    }
    bool menusVisible() const {
        for (auto* m : const_cast<Form1&>(f).menuBar())
            if (!m->visible()) return false;
        return true;
    }
};

TEST_F(FullScreen, EnteringHidesTheBarsOfNormalModeAndFitsTheImage) {
    f.menuThumb_Click();
    const auto outerWidth = f.window.width();
    f.menuFit_Click();
    EXPECT_TRUE(f.menuFit.checked());
    EXPECT_TRUE(f.window.visible());
    EXPECT_EQ(f.window.windowState(), platform::WindowState::Normal);
    EXPECT_EQ(f.window.left(), 0);
    EXPECT_EQ(f.window.top(), -550);
    EXPECT_EQ(f.window.width(), 1280 * 15);
    EXPECT_EQ(f.window.height(), 1024 * 15 + 400);
    for (auto* m : f.menuBar()) EXPECT_FALSE(m->visible()) << m->name();
    EXPECT_FALSE(f.FrameShow.visible());
    EXPECT_FALSE(f.WebBrwT.visible());
    EXPECT_TRUE(f.menuThumb.checked());
    EXPECT_FALSE(f.FraBot.visible());
    EXPECT_FALSE(f.Pausa.visible());
    EXPECT_TRUE(f.BarSu.visible());
    EXPECT_TRUE(f.BarDx.visible());
    EXPECT_TRUE(f.BarGiu.visible());
    EXPECT_EQ(f.BarSu.top(), -1);
    EXPECT_EQ(f.BarSu.width(), outerWidth);  // twips taken as pixels

    const int W = f.window.scaleWidth(), H = f.window.scaleHeight();
    EXPECT_EQ(f.WebBrwI.top(), 17);
    EXPECT_EQ(f.WebBrwI.left(), 0);
    EXPECT_EQ(f.WebBrwI.height(), H);
    EXPECT_EQ(f.WebBrwI.width(), W + 10);
    EXPECT_EQ(f.areaHeight, H - 70);
    EXPECT_EQ(f.areaWidth, W - 50);
    EXPECT_EQ(f.browserHeight, H);

    // The 1600 x 1200 picture reduced by the smaller of its two scales, on the blue field, with the status line.
    const float byHeight = static_cast<float>(H - 70) / 1200.0f;
    const double byWidth = (W - 50) / 1600.0;
    if (byWidth < byHeight) {
        EXPECT_EQ(f.fitWidth, W - 50);
        EXPECT_EQ(f.fitHeight, static_cast<int>(roundHalfEven(1200 * byWidth)));
    } else {
        EXPECT_EQ(f.fitHeight, H - 70);
        EXPECT_EQ(f.fitWidth, static_cast<int>(roundHalfEven(static_cast<double>(1600.0f * byHeight))));
    }
    EXPECT_EQ(f.HDocBrwI->bgColor(), "#0000c0");
    EXPECT_EQ(f.BarGiu.text().rfind("  Tot=2  Cur=1  a.jpg  (1600x1200 ", 0), 0u) << f.BarGiu.text();
}

TEST_F(FullScreen, LeavingRestoresTheLayoutAndReloadsTheImageAtItsOwnSize) {
    f.menuThumb_Click();
    f.menuFit_Click();
    f.menuSPiu_Click();
    f.menuFit_Click();
    EXPECT_FALSE(f.menuFit.checked());
    EXPECT_EQ(f.window.windowState(), platform::WindowState::Maximized);
    EXPECT_TRUE(f.window.visible());
    EXPECT_TRUE(menusVisible());
    EXPECT_TRUE(f.FrameShow.visible());
    EXPECT_TRUE(f.FraBot.visible());
    EXPECT_TRUE(f.Pausa.visible());
    EXPECT_FALSE(f.BarSu.visible());
    EXPECT_FALSE(f.BarDx.visible());
    EXPECT_FALSE(f.BarGiu.visible());
    EXPECT_TRUE(f.WebBrwT.visible());
    EXPECT_EQ(f.WebBrwT.left(), 4);
    EXPECT_EQ(f.WebBrwT.top(), 40);
    EXPECT_EQ(f.WebBrwI.top(), 40);
    EXPECT_EQ(f.WebBrwI.left(), 109);
    EXPECT_EQ(f.WebBrwT.height(), f.WebBrwI.height());
    EXPECT_EQ(f.WebBrwI.height(), Headless::maximisedHeight - 60);
    h.events.runAll();
    EXPECT_EQ(f.shownWidth, 1600);
    EXPECT_EQ(f.shownHeight, 1200);
    EXPECT_EQ(f.HDocBrwI->bgColor(), "");
}

TEST_F(FullScreen, NothingSwitchesWhileTheInstructionsAreShown) {
    f.menuHelpRegole.setChecked(true);
    f.menuFit_Click();
    int esc = 27;
    f.window.onKeyDown(esc, 0);
    EXPECT_FALSE(f.menuFit.checked());
    EXPECT_TRUE(menusVisible());
}

TEST_F(FullScreen, SwitchingBothOptionsOffSwitchesTheModeAndDisablesTheItem) {
    f.menuFitG_Click();  // off, and FitP is off
    EXPECT_FALSE(f.menuFitG.checked());
    EXPECT_TRUE(f.menuFit.checked());
    EXPECT_FALSE(f.menuFit.enabled());
    // Esc still switches, whatever the item's state.
    int esc = 27;
    f.window.onKeyDown(esc, 0);
    EXPECT_FALSE(f.menuFit.checked());
    f.menuFitP_Click();
    EXPECT_TRUE(f.menuFitP.checked());
    EXPECT_TRUE(f.menuFit.enabled());
    EXPECT_FALSE(f.menuFit.checked());
    f.menuFitG_Click();  // on again while FitP stays on: nothing else changes
    EXPECT_TRUE(f.menuFitG.checked());
    EXPECT_FALSE(f.menuFit.checked());
    EXPECT_TRUE(f.menuFit.enabled());
}

TEST_F(FullScreen, BothOptionsEnlargeASmallImageToTheArea) {
    f.menuFitP_Click();
    f.menuFit_Click();
    f.menuSAvanti_Click();  // b.jpg, 200 x 100
    h.events.runAll();
    const int areaW = f.areaWidth, areaH = f.areaHeight;
    const double byWidth = areaW / 200.0;
    const float byHeight = static_cast<float>(areaH) / 100.0f;
    if (byWidth < byHeight) {
        EXPECT_EQ(f.fitWidth, areaW);
        EXPECT_EQ(f.fitHeight, static_cast<int>(roundHalfEven(100 * byWidth)));
    } else {
        EXPECT_EQ(f.fitHeight, areaH);
    }
    EXPECT_NE(f.HDocBrwI->bodyHTML().find("WIDTH=" + std::to_string(f.fitWidth)), std::string::npos);
}

}  // namespace
}  // namespace gb
