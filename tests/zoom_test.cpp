// Size increase, size reduce and original size.

#include <gtest/gtest.h>

#include "tests/support/headless.h"

namespace gb {
namespace {

struct Zoom : ::testing::Test {
    test::Headless h;
    Form1& f = *h.form;
    void SetUp() override { h.start(); }
    void show(int w, int hgt) {
        h.fillQueue({"/pics/a.jpg"});
        h.probe.add("/pics/a.jpg", w, hgt);
        f.folderPath = "/pics";
        f.menuSAvanti_Click();
        h.events.runAll();
    }
    std::pair<int, int> size() const { return {f.shownWidth, f.shownHeight}; }
    bool pageHas(const std::string& s) const { return f.HDocBrwI->bodyHTML().find(s) != std::string::npos; }
};

TEST_F(Zoom, StepsAccumulateFromTheRoundedSizes) {
    show(640, 480);
    f.menuSPiu_Click();
    EXPECT_EQ(size(), std::make_pair(704, 528));
    EXPECT_TRUE(pageHas("WIDTH=704 HEIGHT=528></center>"));
    f.menuSMeno_Click();
    EXPECT_EQ(size(), std::make_pair(634, 475));
    f.menuSNormale_Click();
    EXPECT_EQ(size(), std::make_pair(640, 480));
    EXPECT_TRUE(pageHas("WIDTH=640 HEIGHT=480></center>"));
}

TEST_F(Zoom, TiesGoToEvenAndTinySizesNeverChange) {
    show(5, 4);
    f.menuSMeno_Click();
    EXPECT_EQ(size(), std::make_pair(4, 4));  // 4.5 -> 4, 3.6 -> 4
    f.shownWidth = 5;
    f.menuSPiu_Click();
    EXPECT_EQ(size(), std::make_pair(6, 4));  // 5.5 -> 6, 4.4 -> 4
    for (int s = 0; s <= 4; ++s) {
        f.shownWidth = f.shownHeight = static_cast<Int16>(s);
        f.menuSPiu_Click();
        f.menuSMeno_Click();
        EXPECT_EQ(size(), std::make_pair(s, s)) << s;
    }
}

TEST_F(Zoom, ADimensionThatWouldPassSixteenBitsStaysWhileTheOtherGrows) {
    show(1000, 29790);
    f.menuSPiu_Click();
    EXPECT_EQ(size(), std::make_pair(1100, 29790));
}

TEST_F(Zoom, EnlargeAndReducePauseTheSlideshowButResetDoesNot) {
    show(640, 480);
    ASSERT_TRUE(f.TempoSlide.enabled());
    f.menuSNormale_Click();
    EXPECT_TRUE(f.TempoSlide.enabled());
    EXPECT_EQ(f.Slab(3).caption(), "");
    f.menuSPiu_Click();
    EXPECT_FALSE(f.TempoSlide.enabled());
    EXPECT_EQ(f.Slab(3).caption(), "Pause");
    EXPECT_TRUE(f.Tastiera.hasFocus());
}

TEST_F(Zoom, NothingHappensWhileTheInstructionsAreShown) {
    show(640, 480);
    f.menuHelpRegole.setChecked(true);
    const std::string page = f.HDocBrwI->bodyHTML();
    f.menuSPiu_Click();
    f.menuSMeno_Click();
    f.menuSNormale_Click();
    EXPECT_EQ(size(), std::make_pair(640, 480));
    EXPECT_EQ(f.HDocBrwI->bodyHTML(), page);
    EXPECT_TRUE(f.TempoSlide.enabled());
}

TEST_F(Zoom, ResetInNormalModeDropsTheRatioCorrection) {
    f.ratioFactor = 0.75;
    show(800, 600);
    EXPECT_EQ(size(), std::make_pair(600, 600));
    f.menuSNormale_Click();
    EXPECT_EQ(size(), std::make_pair(800, 600));
}

TEST_F(Zoom, FullScreenStatusLineShowsTheScaleOfEachStep) {
    f.menuFit.setChecked(true);
    f.areaHeight = 700;
    f.areaWidth = 1230;
    show(640, 480);
    EXPECT_NE(f.BarGiu.text().find("(640x480 1.00%)"), std::string::npos) << f.BarGiu.text();
    f.menuSPiu_Click();
    EXPECT_NE(f.BarGiu.text().find("(640x480 1.10%)     Pause"), std::string::npos) << f.BarGiu.text();
    f.menuSMeno_Click();
    EXPECT_NE(f.BarGiu.text().find(" 0.99%)"), std::string::npos) << f.BarGiu.text();
}

TEST_F(Zoom, FullScreenResetReturnsToTheFit) {
    f.menuFit.setChecked(true);
    f.areaHeight = 700;
    f.areaWidth = 1230;
    show(1600, 1200);
    ASSERT_EQ(size(), std::make_pair(933, 700));
    f.menuSPiu_Click();
    f.menuSPiu_Click();
    f.menuSNormale_Click();
    EXPECT_EQ(size(), std::make_pair(933, 700));
    EXPECT_EQ(f.shownScale, f.fitScale);
    EXPECT_NE(f.BarGiu.text().find(" 0.58%)"), std::string::npos);
}

TEST_F(Zoom, WithoutAnImageThePauseIsStillSet) {
    f.TempoSlide.setEnabled(true);
    f.menuSPiu_Click();
    EXPECT_EQ(f.HDocBrwI->bodyHTML(), "");
    EXPECT_EQ(f.Slab(3).caption(), "Pause");
}

}  // namespace
}  // namespace gb
