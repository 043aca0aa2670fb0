// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as the user finds it at start, and the places of its controls at every size and in every mode.

#include <gtest/gtest.h>

#include "tests/support/headless.h"

namespace gb {
namespace {

using test::Headless;

TEST(StartState, TheWindowOpensMaximisedWithTheStartTextsAndOnlyFileAndHelpUsable) {
    // A screen wider than 16 bits of twips starts as any other.
    for (const platform::ScreenSize screen : {platform::ScreenSize{1280, 1024}, platform::ScreenSize{7680, 4320}}) {
        Headless h(screen);
        h.start();
        Form1& f = *h.form;
        EXPECT_EQ(f.window.caption().rfind("  Glimmerbox  -  ", 0), 0u) << f.window.caption();
        EXPECT_EQ(f.window.windowState(), platform::WindowState::Maximized);
        EXPECT_EQ(f.DoveShow.width(), Headless::maximisedWidth - 76) << screen.widthPixels;

        std::vector<std::string> status;
        for (int i = 0; i < 8; ++i) status.push_back(f.Slab(i).caption());
        EXPECT_EQ(status, (std::vector<std::string>{"", "Tot=0", "Cur=0", "", "Interval=", "Folder/File:", "", ""}));
        EXPECT_EQ(f.DoveShow.text(), "/home/user/Pictures");
        EXPECT_EQ(f.labelShow.caption(), "/home/user/Pictures");
        EXPECT_EQ(f.BarGiu.text(), "Immagine");
        EXPECT_EQ(f.Pausa.listItems(), (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
        EXPECT_EQ(f.Pausa.text(), "10");
        EXPECT_EQ(f.Pausa.toolTip, "Cambia intervallo");
        EXPECT_EQ(f.TempoSlide.interval(), 10000);
        EXPECT_FALSE(f.TempoSlide.enabled());
        EXPECT_EQ(f.WebBrwI.locationURL(), "about:blank");
        EXPECT_EQ(f.RisoAltro.text(), "1.33");
        EXPECT_TRUE(f.Riso[1]->value());

        // The menus' captions, usable and checked entries are read on screen (tests/e2e/start_menus_close.py).
        EXPECT_EQ(f.menuHelpRegole.shortcut + f.menuThumb.shortcut + f.menuGestAcc.shortcut, "F1F2F3");
        for (platform::Control* hidden : std::initializer_list<platform::Control*>{
                 &f.Risoluzione, &f.Info, &f.ThumbsList, &f.BarSu, &f.BarDx, &f.BarGiu, &f.WebBrwT})
            EXPECT_FALSE(hidden->visible()) << hidden->name();
    }
}

TEST(StartState, TheLayoutRunsAsFormLoadMaximisesTheWindowBeforeAnyEvent) {
    Headless h;
    h.form->Form_Load();
    EXPECT_EQ(h.form->DoveShow.width(), Headless::maximisedWidth - 76);
    EXPECT_EQ(h.form->FraBot.top(), Headless::maximisedHeight - 18);
    EXPECT_EQ(h.events.pending(), 2u);  // the two blank pages are still loading
}

struct Box {
    int left, top, width, height;
    bool operator==(const Box&) const = default;
};
Box box(const platform::Control& c) { return {c.left(), c.top(), c.width(), c.height()}; }
void PrintTo(const Box& b, std::ostream* os) { *os << b.left << "," << b.top << " " << b.width << "x" << b.height; }

TEST(Layout, EveryClientSizeAndModePlacesTheControls) {
    // clang-format off
    struct Row {
        const char* what;
        int width, height;
        bool thumbs, fullScreen;
        Box image, thumbsBar, folderBox, frameShow, statusBar, rightBar, bottomBar;
        int pausaTop;
    } rows[] = {
        {"normal", 800, 600, false, false, {4, 40, 792, 540}, {4, 40, 105, 540}, {72, 8, 724, 21}, {74, 10, 702, 18},
         {0, 582, 800, 18}, {782, 0, 18, 600}, {1, 585, 800, 18}, 580},
        {"thumbnails", 800, 600, true, false, {109, 40, 687, 540}, {4, 40, 105, 540}, {72, 8, 724, 21},
         {74, 10, 702, 18}, {0, 582, 800, 18}, {782, 0, 18, 600}, {1, 585, 800, 18}, 580},
        {"full screen: past the right edge", 1024, 768, true, true, {0, 0, 1034, 768}, {4, 40, 105, 910},
         {72, 8, 948, 21}, {74, 10, 926, 18}, {0, 750, 1024, 18}, {1006, 0, 18, 768}, {1, 753, 1024, 18}, 748},
        {"lower than the bars: heights stop at 0", 500, 40, false, false, {4, 40, 492, 0}, {4, 40, 105, 0},
         {72, 8, 424, 21}, {74, 10, 402, 18}, {0, 22, 500, 18}, {482, 0, 18, 40}, {1, 25, 500, 18}, 20},
    };
    // clang-format on
    for (const Row& r : rows) {
        Headless h;
        h.start();
        Form1& f = *h.form;
        f.menuThumb.setChecked(r.thumbs);
        f.menuFit.setChecked(r.fullScreen);
        h.resizeClient(r.width, r.height);
        EXPECT_EQ(box(f.WebBrwI), r.image) << r.what;
        EXPECT_EQ(box(f.WebBrwT), r.thumbsBar) << r.what;
        EXPECT_EQ(f.WebBrwT.visible(), r.thumbs && !r.fullScreen) << r.what;
        EXPECT_EQ(box(f.DoveShow), r.folderBox) << r.what;
        EXPECT_EQ(box(f.FrameShow), r.frameShow) << r.what;
        // The current-image label sits at the folder box's offset inside the frame.
        EXPECT_EQ(f.labelShow.left(), 72) << r.what;
        EXPECT_EQ(f.labelShow.top(), 8) << r.what;
        EXPECT_EQ(box(f.FraBot), r.statusBar) << r.what;
        EXPECT_EQ(box(f.BarDx), r.rightBar) << r.what;
        EXPECT_EQ(box(f.BarGiu), r.bottomBar) << r.what;
        EXPECT_EQ(f.Pausa.top(), r.pausaTop) << r.what;
        EXPECT_EQ(f.Pausa.left(), 280) << r.what;
        // The bars of full screen are placed but stay hidden outside it.
        EXPECT_FALSE(f.BarDx.visible());
        EXPECT_EQ(box(f.Slab(5)), (Box{8, 13, 81, 17}));
        EXPECT_EQ(box(f.Slab(2)), (Box{72, 0, 41, 17}));
        EXPECT_EQ(f.Slab(2).container(), &f.FraBot);
    }
}

TEST(Layout, NarrowAndMinimisedWindowsAreLeftAsTheyWere) {
    Headless h;
    h.start();
    Form1& f = *h.form;
    h.resizeClient(134, 300);
    EXPECT_EQ(f.DoveShow.width(), 58);
    h.resizeClient(133, 200);
    EXPECT_EQ(f.DoveShow.width(), 58);
    EXPECT_EQ(f.FraBot.width(), 134);
    h.minimise();
    EXPECT_EQ(f.FraBot.width(), 134);
    h.restore(640, 480);
    EXPECT_EQ(f.FraBot.width(), 640);
    EXPECT_EQ(f.WebBrwI.height(), 420);
    // The thumbnail bar shown in a window narrower than it: the picture gets no width, never a negative one.
    h.resizeClient(100, 300);
    f.menuThumb_Click();
    EXPECT_EQ(f.WebBrwI.width(), 0);
}

// Full screen and back, with the thumbnail bar on: what is shown, hidden and where, after each switch.
TEST(Layout, FullScreenHidesTheBarsOfNormalModeAndLeavingRestoresThem) {
    Headless h;
    h.start();
    h.openFolder("/pics", {"a.jpg", "b.jpg"}, "a.jpg");
    h.probe.add("/pics/a.jpg", 1600, 1200);
    Form1& f = *h.form;
    f.menuThumb_Click();
    const auto outerWidth = f.window.width();
    const auto shown = [&] {
        std::vector<bool> v;
        for (auto* m : f.menuBar()) v.push_back(m->visible());
        for (platform::Control* c : std::initializer_list<platform::Control*>{&f.FrameShow, &f.WebBrwT, &f.FraBot,
                                                                              &f.Pausa, &f.BarSu, &f.BarDx, &f.BarGiu})
            v.push_back(c->visible());
        return v;
    };

    int esc = 27;
    f.window.onKeyDown(esc, 0);
    EXPECT_TRUE(f.menuFit.checked());
    EXPECT_EQ(f.window.windowState(), platform::WindowState::Normal);
    EXPECT_EQ(f.window.top(), -550);  // the title bar above the screen's top edge
    EXPECT_EQ(f.window.width(), 1280 * 15);
    EXPECT_EQ(f.window.height(), 1024 * 15 + 400);
    EXPECT_EQ(shown(),
              (std::vector<bool>{false, false, false, false, false, false, false, false, false, true, true, true}));
    EXPECT_TRUE(f.menuThumb.checked());
    EXPECT_EQ(f.BarSu.top(), -1);
    EXPECT_EQ(f.BarSu.width(), outerWidth);  // the outer width in twips, taken as pixels
    EXPECT_EQ(box(f.WebBrwI), (Box{0, 17, f.window.scaleWidth() + 10, f.window.scaleHeight()}));
    EXPECT_EQ(f.HDocBrwI->bgColor(), "#0000c0");

    f.window.onKeyDown(esc, 0);
    EXPECT_FALSE(f.menuFit.checked());
    EXPECT_EQ(f.window.windowState(), platform::WindowState::Maximized);
    EXPECT_EQ(shown(), (std::vector<bool>{true, true, true, true, true, true, true, true, true, false, false, false}));
    EXPECT_EQ(box(f.WebBrwI), (Box{109, 40, Headless::maximisedWidth - 113, Headless::maximisedHeight - 60}));
    EXPECT_EQ(box(f.WebBrwT), (Box{4, 40, 105, Headless::maximisedHeight - 60}));
    h.events.runAll();
    EXPECT_EQ(f.HDocBrwI->bgColor(), "");
    EXPECT_NE(f.HDocBrwI->bodyHTML().find("WIDTH=1600 HEIGHT=1200"), std::string::npos);
}

TEST(Layout, TheFitOptionsSwitchTheModeWhenBothGoOffAndDisableItsItem) {
    Headless h;
    h.start();
    Form1& f = *h.form;
    int esc = 27;
    struct Row {
        void (Form1::*click)();
        bool fitG, fitP, fullScreen, itemEnabled;
    } rows[] = {
        {&Form1::menuFitG_Click, false, false, true, false},  // nothing left to fit to: the mode switches
        {nullptr, false, false, false, false},                // Esc still switches, whatever the item
        {&Form1::menuFitP_Click, false, true, false, true},
        {&Form1::menuFitG_Click, true, true, false, true},
    };
    for (const Row& r : rows) {
        if (r.click) (f.*r.click)();
        else f.window.onKeyDown(esc, 0);
        EXPECT_EQ(f.menuFitG.checked(), r.fitG);
        EXPECT_EQ(f.menuFitP.checked(), r.fitP);
        EXPECT_EQ(f.menuFit.checked(), r.fullScreen);
        EXPECT_EQ(f.menuFit.enabled(), r.itemEnabled);
    }
    // While the instructions are shown, neither the menu nor Esc switches.
    f.menuHelpRegole.setChecked(true);
    f.menuFit_Click();
    f.window.onKeyDown(esc, 0);
    EXPECT_FALSE(f.menuFit.checked());
}

}  // namespace
}  // namespace gb
