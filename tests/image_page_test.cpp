// The rewritten image page: its text, the line breaks above the image, the sizes in normal and full-screen
// mode, and the full-screen status line.

#include <gtest/gtest.h>

#include "tests/support/headless.h"

namespace gb {
namespace {

using test::Headless;

struct ImagePage : ::testing::Test {
    Headless h;
    Form1& f = *h.form;
    void SetUp() override { h.start(); }

    // Shows a w x h image as the only queue entry.
    void show(int w, int hgt, const std::string& path = "/pics/a.jpg") {
        h.fillQueue({path});
        h.probe.add(path, w, hgt);
        f.folderPath = "/pics";
        f.menuSAvanti_Click();
        h.events.runAll();
    }
    std::string page() const { return f.HDocBrwI->bodyHTML(); }
    void fullScreen(int areaH, int areaW) {
        f.menuFit.setChecked(true);
        f.areaHeight = static_cast<Int16>(areaH);
        f.areaWidth = static_cast<Int16>(areaW);
    }
};

TEST(LineBreakPrefix, OneBreakPerFiftyPixelsOfDifference) {
    EXPECT_EQ(lineBreakPrefix(100), "<br><br><center>");
    EXPECT_EQ(lineBreakPrefix(149.9f), "<br><br><center>");
    EXPECT_EQ(lineBreakPrefix(49), "<center>");
    EXPECT_EQ(lineBreakPrefix(0), "<center>");
    EXPECT_EQ(lineBreakPrefix(-300), "<center>");
}

TEST_F(ImagePage, NormalModeWritesTheNaturalSizeBelowTheLineBreaks) {
    f.browserHeight = 580;
    show(640, 480);
    EXPECT_EQ(page(), "<br><br><center><IMG src=\"file:///pics/a.jpg\"WIDTH=640 HEIGHT=480></center>");
    EXPECT_EQ(f.imageTag, "<IMG src=\"file:///pics/a.jpg\">");
    EXPECT_EQ(f.naturalWidth, 640);
    EXPECT_EQ(f.naturalHeight, 480);
    EXPECT_EQ(f.shownWidth, 640);
    EXPECT_EQ(f.shownHeight, 480);
    EXPECT_TRUE(f.Tastiera.hasFocus());
}

TEST_F(ImagePage, TheRatioFactorNarrowsOnlyTheWidthRoundingHalvesToEven) {
    f.ratioFactor = 0.75;
    show(641, 300);
    EXPECT_EQ(f.shownWidth, 481);  // 480.75
    EXPECT_EQ(f.shownHeight, 300);
    f.ratioFactor = 0.5;
    h.probe.add("/pics/a.jpg", 5, 7);
    f.WebBrwI.Navigate2("/pics/a.jpg");
    h.events.runAll();
    EXPECT_EQ(f.shownWidth, 2);  // 2.5
}

TEST_F(ImagePage, AnImageAsHighAsTheBrowserGetsNoLineBreak) {
    f.browserHeight = 480;
    show(640, 480);
    EXPECT_EQ(page().rfind("<center><IMG", 0), 0u);
}

TEST_F(ImagePage, BlankPagesChangeNothing) {
    show(640, 480);
    const std::string tag = f.imageTag;
    f.WebBrwI.Navigate2("about:blank");
    h.events.runAll();
    EXPECT_EQ(f.imageTag, tag);
    EXPECT_EQ(f.naturalWidth, 640);
}

TEST_F(ImagePage, AFileThatCannotBeShownKeepsItsPageAndForgetsThePreviousSizes) {
    show(640, 480);
    f.queue.append("/pics/broken.jpg", "broken.jpg");  // not known to the probe
    h.queueAt(1);
    f.menuSAvanti_Click();
    h.events.runAll();
    EXPECT_NE(page().find("/pics/broken.jpg"), std::string::npos);
    EXPECT_EQ(page().find("WIDTH="), std::string::npos);
    EXPECT_EQ(f.naturalWidth, 0);
    EXPECT_EQ(f.shownHeight, 0);
    const std::string errorPage = page();
    f.menuSPiu_Click();
    EXPECT_EQ(page(), errorPage);
}

TEST_F(ImagePage, AnImageBeyondSixteenBitsKeepsItsProportions) {
    show(65000, 1000);
    EXPECT_EQ(f.naturalWidth, 32767);
    EXPECT_EQ(f.naturalHeight, 504);  // 1000 * 32767 / 65000 = 504.1
    EXPECT_NE(page().find("WIDTH=32767 HEIGHT=504"), std::string::npos);
}

TEST_F(ImagePage, FullScreenReducesALargerImageByTheSmallerScale) {
    fullScreen(700, 1230);
    f.WebBrwI.setHeight(768);
    show(1600, 1200);
    EXPECT_EQ(f.fitScale.kind(), Scale::Kind::Single);
    EXPECT_FLOAT_EQ(static_cast<float>(f.fitScale.value()), 700.0f / 1200.0f);
    EXPECT_EQ(f.fitHeight, 700);
    EXPECT_EQ(f.fitWidth, 933);
    EXPECT_EQ(f.shownWidth, 933);
    EXPECT_EQ(f.shownHeight, 700);
    EXPECT_EQ(f.shownScale, f.fitScale);
    EXPECT_EQ(f.HDocBrwI->bgColor(), "#0000c0");
    EXPECT_EQ(page(), "<br><center><IMG src=\"file:///pics/a.jpg\"WIDTH=933 HEIGHT=700></center>");
    // The position label was rewritten by the move; the scale is the factor itself.
    EXPECT_EQ(f.BarGiu.text(), "  Tot=1  END  a.jpg  (1600x1200 0.58%)     ");
}

TEST_F(ImagePage, FullScreenEnlargesASmallerImageWhenBothOptionsAreOn) {
    fullScreen(700, 1230);
    f.menuFitP.setChecked(true);
    show(200, 100);
    EXPECT_EQ(f.fitScale.kind(), Scale::Kind::Double);
    EXPECT_DOUBLE_EQ(f.fitScale.value(), 6.15);
    EXPECT_EQ(f.fitWidth, 1230);
    EXPECT_EQ(f.fitHeight, 615);
}

TEST_F(ImagePage, FullScreenKeepsAnImageSmallerInOneDirectionOnly) {
    fullScreen(700, 1230);
    f.menuFitG.setChecked(false);
    f.menuFitP.setChecked(true);
    show(2000, 300);
    EXPECT_EQ(f.fitScale.value(), 1.0);
    EXPECT_EQ(f.fitWidth, 2000);
    EXPECT_EQ(f.fitHeight, 300);
}

TEST_F(ImagePage, FullScreenWithBothOptionsOffUsesThePreviousFit) {
    fullScreen(700, 1230);
    f.menuFitG.setChecked(false);
    show(200, 100);
    EXPECT_EQ(f.fitScale, Scale::integer(1));
    EXPECT_NE(page().find("WIDTH=0 HEIGHT=0"), std::string::npos);
}

TEST_F(ImagePage, ShowImageOutsideFullScreenOnlyResetsTheScale) {
    show(640, 480);
    const std::string before = page();
    f.ShowImage();
    EXPECT_EQ(f.fitScale, Scale::integer(1));
    EXPECT_EQ(page(), before);
}

TEST_F(ImagePage, BottomBarLineNamesTheFileItsSizeAndTheScale) {
    show(1600, 1200, "/pics/beach.jpg");
    f.Slab(1).setCaption("Tot=12");
    f.Slab(2).setCaption("Cur=3");
    f.Slab(3).setCaption("Pause");
    f.writeBottomBar(Scale::single(0.5f));
    EXPECT_EQ(f.BarGiu.text(), "  Tot=12  Cur=3  beach.jpg  (1600x1200 0.50%)     Pause");
    f.writeBottomBar(Scale::integer(1));
    EXPECT_NE(f.BarGiu.text().find("(1600x1200 1.00%)"), std::string::npos);
    f.writeBottomBar(Scale());
    EXPECT_NE(f.BarGiu.text().find(" 0.00%)"), std::string::npos);
    // A current text shorter than the folder leaves the line as it was.
    const std::string before = f.BarGiu.text();
    f.DoveShow.setText("");
    f.writeBottomBar(Scale::integer(2));
    EXPECT_EQ(f.BarGiu.text(), before);
}

}  // namespace
}  // namespace gb
