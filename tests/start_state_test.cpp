// The main window as the user finds it after start.

#include <gtest/gtest.h>

#include "tests/support/headless.h"

namespace gb {
namespace {

using test::Headless;

std::string sp(int n) { return std::string(static_cast<std::size_t>(n), ' '); }

struct StartState : ::testing::Test {
    Headless h;
    Form1& f = *h.form;
    void SetUp() override { h.start(); }
};

TEST_F(StartState, WindowIsMaximisedAtTheTopLeftWithItsCaption) {
    EXPECT_EQ(f.window.caption().rfind("  Glimmerbox", 0), 0u) << f.window.caption();
    EXPECT_GT(f.window.caption().size(), std::string("  Glimmerbox").size());
    EXPECT_EQ(f.window.left(), 0);
    EXPECT_EQ(f.window.top(), 0);
    EXPECT_EQ(f.window.windowState(), platform::WindowState::Maximized);
    EXPECT_EQ(f.screenWidth, 1280 * 15);
    EXPECT_EQ(f.screenHeight, 1024 * 15);
}

TEST(StartStateScreens, AScreenWiderThanSixteenBitsOfTwipsStillStarts) {
    Headless h({7680, 4320});
    h.start();
    EXPECT_EQ(h.form->screenWidth, 7680 * 15);
    EXPECT_EQ(h.form->screenHeight, 4320 * 15);
}

TEST_F(StartState, StatusBarAndFolderBoxShowTheStartTexts) {
    EXPECT_EQ(f.Slab(0).caption(), "");
    EXPECT_EQ(f.Slab(1).caption(), "Tot=0");
    EXPECT_EQ(f.Slab(2).caption(), "Cur=0");
    EXPECT_EQ(f.Slab(3).caption(), "");
    EXPECT_EQ(f.Slab(4).caption(), "Interval=");
    EXPECT_EQ(f.Slab(5).caption(), "Folder/File:");
    EXPECT_EQ(f.Slab(6).caption(), "");
    EXPECT_EQ(f.Slab(7).caption(), "");
    EXPECT_EQ(f.DoveShow.text(), "/home/user/Pictures");
    EXPECT_EQ(f.labelShow.caption(), "/home/user/Pictures");
    EXPECT_EQ(f.DoveShow.listCount(), 0);
    EXPECT_EQ(f.queue.queueCount(), 0);
    EXPECT_EQ(f.queue.queuePos(), 0);
    EXPECT_EQ(f.BarGiu.text(), "Immagine");
}

TEST_F(StartState, IntervalIsTenSecondsWithTheTimerOff) {
    EXPECT_EQ(f.Pausa.listItems(), (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
    EXPECT_EQ(f.Pausa.text(), "10");
    EXPECT_EQ(f.Pausa.toolTip, "Cambia intervallo");
    EXPECT_EQ(f.TempoSlide.interval(), 10000);
    EXPECT_FALSE(f.TempoSlide.enabled());
}

TEST_F(StartState, MenusHaveTheirCaptionsAndOnlyFileAndHelpAreUsable) {
    struct Row {
        platform::MenuItem* item;
        std::string caption;
    };
    const Row rows[] = {
        {&f.menuFile, "File"},
        {&f.menuFileScegli, "Select and open Image files"},
        {&f.menuFileAnnulla, "Clear current Image files"},
        {&f.menuFileChiudi, "Exit"},
        {&f.menuView, "View"},
        {&f.menuThumb, "View Thumbnails"},
        {&f.menuSPiu, "Size increase" + sp(42) + "+ "},
        {&f.menuSMeno, "Size reduce" + sp(45) + "-"},
        {&f.menuSNormale, "Original size" + sp(44) + "0"},
        {&f.menuSlShow, "Slideshow"},
        {&f.menuSAvanti, "Forward" + sp(24) + "Enter"},
        {&f.menuSIndietro, "Backward" + sp(21) + "<---"},
        {&f.menuSPausa, "Set Pausa on/off" + sp(10) + "clic on image"},
        {&f.menuFit, "Full screen mode" + sp(21) + "ESC"},
        {&f.menuFitG, sp(5) + "Reduce larger images"},
        {&f.menuFitP, sp(5) + "Increase smaller images"},
        {&f.menuStrumenti, "Tools"},
        {&f.menuGestAcc, "Manage suspended images"},
        {&f.menuGestCanc, "Choices for cancellations..."},
        {&f.menuNobin, "Erase now"},
        {&f.menuBin, "Use basket bin"},
        {&f.menuRisoluzione, "W/H ratio correction "},
        {&f.menuHelp, "?"},
        {&f.menuHelpRegole, "General instructions"},
        {&f.menuHelpAcc, "Shortcuts"},
        {&f.nenuAbout, "About"},
    };
    for (const auto& r : rows) EXPECT_EQ(r.item->caption(), r.caption) << r.item->name();

    std::vector<std::string> bar;
    for (auto* m : f.menuBar()) bar.push_back(m->caption());
    EXPECT_EQ(bar, (std::vector<std::string>{"File", "View", "Slideshow", "Tools", "?"}));
    EXPECT_TRUE(f.menuFile.enabled());
    EXPECT_TRUE(f.menuHelp.enabled());
    EXPECT_FALSE(f.menuView.enabled());
    EXPECT_FALSE(f.menuSlShow.enabled());
    EXPECT_FALSE(f.menuStrumenti.enabled());
    // Items inside the disabled menus keep their own flags but cannot be reached.
    EXPECT_TRUE(f.menuSAvanti.enabled());
    EXPECT_FALSE(f.menuSAvanti.reachable());
    EXPECT_TRUE(f.menuFileScegli.reachable());

    EXPECT_TRUE(f.menuFitG.checked());
    EXPECT_FALSE(f.menuFitP.checked());
    EXPECT_TRUE(f.menuBin.checked());
    EXPECT_FALSE(f.menuNobin.checked());
    EXPECT_FALSE(f.menuFit.checked());
    EXPECT_FALSE(f.menuThumb.checked());
    EXPECT_EQ(f.menuHelpRegole.shortcut, "F1");
    EXPECT_EQ(f.menuThumb.shortcut, "F2");
    EXPECT_EQ(f.menuGestAcc.shortcut, "F3");
    EXPECT_TRUE(f.sep1.isSeparator());
    EXPECT_EQ(f.menuGestCanc.children(), (std::vector<platform::MenuItem*>{&f.menuNobin, &f.menuBin}));
}

TEST_F(StartState, BrowsersAreBlankAndPlacedWithTheirDocumentsBound) {
    EXPECT_EQ(f.WebBrwI.locationURL(), "about:blank");
    EXPECT_EQ(f.WebBrwT.locationURL(), "about:blank");
    EXPECT_EQ(f.WebBrwI.document().bodyHTML(), "");
    EXPECT_EQ(f.HDocBrwI, &f.WebBrwI.document());
    EXPECT_EQ(f.HDocBrwT, &f.WebBrwT.document());
    EXPECT_EQ(f.WebBrwI.left(), 4);
    EXPECT_EQ(f.WebBrwI.top(), 40);
    EXPECT_EQ(f.WebBrwI.width(), Headless::maximisedWidth - 8);
    EXPECT_EQ(f.WebBrwI.height(), Headless::maximisedHeight - 60);
    EXPECT_FALSE(f.WebBrwT.visible());
    EXPECT_EQ(f.WebBrwT.left(), 4);
    EXPECT_EQ(f.WebBrwT.top(), 40);
    EXPECT_EQ(f.WebBrwT.width(), 105);
    EXPECT_EQ(f.areaHeight, Headless::maximisedHeight - 70);
    EXPECT_EQ(f.areaWidth, Headless::maximisedWidth - 50);
    EXPECT_EQ(f.browserHeight, Headless::maximisedHeight - 60);
}

TEST_F(StartState, PanelsAndHiddenBoxesAreHiddenAndTheRatioIsNeutral) {
    EXPECT_FALSE(f.Risoluzione.visible());
    EXPECT_EQ(f.Risoluzione.caption(), "Frame1");
    EXPECT_FALSE(f.Info.visible());
    EXPECT_FALSE(f.ThumbsList.visible());
    EXPECT_FALSE(f.BarSu.visible());
    EXPECT_FALSE(f.BarDx.visible());
    EXPECT_FALSE(f.BarGiu.visible());
    EXPECT_TRUE(f.Riso[1]->value());
    for (int i : {0, 2, 3, 4, 5, 6}) EXPECT_FALSE(f.Riso[i]->value()) << i;
    EXPECT_EQ(f.Riso[0]->caption(), "  W/H=  1.25");
    EXPECT_EQ(f.Riso[6]->caption(), "  W/H=  1.78");
    EXPECT_EQ(f.RisoAltro.text(), "1.33");
    EXPECT_EQ(f.ratioFactor, 1.0);
    EXPECT_EQ(f.pathSep, "/");
}

TEST(StartOrder, TheLayoutRunsWhenFormLoadMaximisesTheWindow) {
    Headless h;
    h.form->Form_Load();
    // Before any event runs, the maximise has already laid the window out.
    EXPECT_EQ(h.form->DoveShow.width(), Headless::maximisedWidth - 76);
    EXPECT_EQ(h.form->FraBot.top(), Headless::maximisedHeight - 18);
    EXPECT_EQ(h.events.pending(), 2u);  // the two blank pages are still loading
}

}  // namespace
}  // namespace gb
