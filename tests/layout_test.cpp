// Placing the controls on every size change.

#include <gtest/gtest.h>

#include "tests/support/headless.h"

namespace gb {
namespace {

using test::Headless;

struct Layout : ::testing::Test {
    Headless h;
    Form1& f = *h.form;
    void SetUp() override { h.start(); }
};

TEST_F(Layout, NormalModeWithoutThumbnailsFollowsTheClientSize) {
    h.resizeClient(800, 600);
    EXPECT_EQ(f.DoveShow.width(), 724);
    EXPECT_EQ(f.DoveShow.left(), 72);
    EXPECT_EQ(f.FrameShow.left(), 74);
    EXPECT_EQ(f.FrameShow.top(), 10);
    EXPECT_EQ(f.FrameShow.width(), 702);
    // labelShow sits at DoveShow's offset inside the frame, not at its design place (8, 0).
    EXPECT_EQ(f.labelShow.left(), 72);
    EXPECT_EQ(f.labelShow.top(), 8);
    EXPECT_FALSE(f.WebBrwT.visible());
    EXPECT_EQ(f.WebBrwI.left(), 4);
    EXPECT_EQ(f.WebBrwI.top(), 40);
    EXPECT_EQ(f.WebBrwI.width(), 792);
    EXPECT_EQ(f.WebBrwI.height(), 540);
    EXPECT_EQ(f.WebBrwT.height(), 540);
    EXPECT_EQ(f.Pausa.top(), 580);
    EXPECT_EQ(f.Pausa.left(), 280);
    EXPECT_EQ(f.FraBot.top(), 582);
    EXPECT_EQ(f.FraBot.width(), 800);
    EXPECT_EQ(f.BarDx.left(), 782);
    EXPECT_EQ(f.BarDx.top(), 0);
    EXPECT_EQ(f.BarDx.width(), 18);
    EXPECT_EQ(f.BarDx.height(), 600);
    EXPECT_EQ(f.BarGiu.left(), 1);
    EXPECT_EQ(f.BarGiu.height(), 18);
    EXPECT_EQ(f.BarGiu.top(), 585);
    EXPECT_EQ(f.BarGiu.width(), 800);
    EXPECT_EQ(f.areaHeight, 530);
    EXPECT_EQ(f.areaWidth, 750);
    EXPECT_EQ(f.browserHeight, 540);
    // The bars are placed but stay hidden in normal mode.
    EXPECT_FALSE(f.BarDx.visible());
    EXPECT_FALSE(f.BarGiu.visible());
}

TEST_F(Layout, ThumbnailBarShownPutsTheImageBesideIt) {
    f.menuThumb.setChecked(true);
    h.resizeClient(800, 600);
    EXPECT_TRUE(f.WebBrwT.visible());
    EXPECT_EQ(f.WebBrwT.left(), 4);
    EXPECT_EQ(f.WebBrwT.width(), 105);
    EXPECT_EQ(f.WebBrwI.left(), 109);
    EXPECT_EQ(f.WebBrwI.width(), 687);
    EXPECT_EQ(f.WebBrwI.height(), 540);
    EXPECT_EQ(f.WebBrwT.height(), 540);
    EXPECT_EQ(f.browserHeight, 540);
}

TEST_F(Layout, FullScreenFillsTheClientAreaAndPushesPastItsRightEdge) {
    f.menuThumb.setChecked(true);
    f.menuFit.setChecked(true);
    h.resizeClient(1024, 768);
    EXPECT_FALSE(f.WebBrwT.visible());
    EXPECT_EQ(f.WebBrwI.left(), 0);
    EXPECT_EQ(f.WebBrwI.top(), 0);
    EXPECT_EQ(f.WebBrwI.width(), 1034);
    EXPECT_EQ(f.WebBrwI.height(), 768);
    EXPECT_EQ(f.browserHeight, 768);
    EXPECT_EQ(f.areaHeight, 698);
    EXPECT_EQ(f.areaWidth, 974);
    EXPECT_EQ(f.Pausa.top(), 748);
    EXPECT_EQ(f.FraBot.top(), 750);
}

TEST_F(Layout, WindowsOfAtMost133PixelsAndMinimisedWindowsAreLeftAsTheyWere) {
    h.resizeClient(134, 300);
    EXPECT_EQ(f.DoveShow.width(), 58);
    EXPECT_EQ(f.FraBot.width(), 134);
    h.resizeClient(133, 200);
    EXPECT_EQ(f.DoveShow.width(), 58);
    EXPECT_EQ(f.FraBot.width(), 134);
    EXPECT_EQ(f.areaHeight, 230);

    h.minimise();
    EXPECT_EQ(f.FraBot.width(), 134);
    h.restore(640, 480);
    EXPECT_EQ(f.FraBot.width(), 640);
    EXPECT_EQ(f.WebBrwI.height(), 420);
}

TEST_F(Layout, HeightsBelowZeroStopAtZero) {
    h.resizeClient(500, 40);
    EXPECT_EQ(f.WebBrwI.height(), 0);
    EXPECT_EQ(f.WebBrwT.height(), 0);
    EXPECT_EQ(f.browserHeight, 0);
    EXPECT_EQ(f.Pausa.top(), 20);
    EXPECT_EQ(f.areaHeight, -30);
}

TEST_F(Layout, DesignPlacesAreKept) {
    h.resizeClient(900, 700);
    EXPECT_EQ(f.Slab(5).left(), 8);
    EXPECT_EQ(f.Slab(5).top(), 13);
    EXPECT_EQ(f.Slab(0).left(), 8);
    EXPECT_EQ(f.Slab(0).top(), 384);
    EXPECT_EQ(f.Slab(2).left(), 72);
    EXPECT_EQ(f.Slab(2).container(), &f.FraBot);
    EXPECT_EQ(f.Tastiera.left(), 16);
    EXPECT_EQ(f.Tastiera.top(), 104);
    EXPECT_EQ(f.BarSu.top(), 32);
}

}  // namespace
}  // namespace gb
