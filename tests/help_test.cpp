// SPDX-License-Identifier: GPL-3.0-or-later
// The instructions page and the shortcut list. (The About window is checked on the Qt view: tests/qt/view_test.)

#include <gtest/gtest.h>

#include "tests/support/headless.h"

namespace gb {
namespace {

TEST(Help, F1ShowsTheInstructionsInPlaceOfThePictureAndGivesTheSamePageBack) {
    for (const bool withPicture : {false, true}) {
        test::Headless h;
        h.start();
        Form1& f = *h.form;
        if (withPicture) h.openFolder("/pics", {"a.jpg", "b.jpg"}, "a.jpg");
        const std::string page = f.HDocBrwI->bodyHTML();
        f.menuThumb_Click();
        f.menuSPausa_Click();  // running
        f.menuHelpRegole.userClick();
        EXPECT_EQ(f.HDocBrwI->bodyHTML(), f.Info.text());
        EXPECT_NE(f.Info.text().find("Glimmerbox Usage Instructions"), std::string::npos);
        EXPECT_EQ(f.Info.text().substr(f.Info.text().size() - 35), "<br><br><center>(F1 = END)</center>");
        // Only "?" stays usable; the thumbnail bar goes and the slideshow pauses.
        std::vector<bool> usable;
        for (auto* m : f.menuBar()) usable.push_back(m->enabled());
        EXPECT_EQ(usable, (std::vector<bool>{false, false, false, false, true}));
        EXPECT_FALSE(f.menuThumb.checked() || f.WebBrwT.visible());
        EXPECT_EQ(f.Slab(3).caption(), "Pause");
        // While shown: keys, clicks and picks do nothing.
        for (int code : {13, 8, 27, 187, 65}) f.window.onKeyDown(code, 0);
        f.HDocBrwI->userClick("", "");
        if (withPicture) f.DoveShow.userPick(1);
        EXPECT_EQ(f.Slab(2).caption(), withPicture ? "Cur=1" : "Cur=0");
        EXPECT_FALSE(f.menuFit.checked());

        f.menuHelpRegole.userClick();
        EXPECT_EQ(f.HDocBrwI->bodyHTML(), page);
        usable.clear();
        for (auto* m : f.menuBar()) usable.push_back(m->enabled());
        EXPECT_EQ(usable, std::vector<bool>(5, true));
        EXPECT_FALSE(f.TempoSlide.enabled() || f.WebBrwT.visible());
    }
}

TEST(Help, TheShortcutsAreAMessageThatLeavesTheSlideshowRunning) {
    test::Headless h;
    h.start();
    h.form->TempoSlide.setEnabled(true);
    h.form->menuHelpAcc.userClick();
    ASSERT_EQ(h.messages.shown.size(), 1u);
    // Its title and thirteen lines are read on screen (tests/e2e/start_menus_close.py).
    EXPECT_EQ(h.messages.shown[0].buttons, platform::MessageButtons::Ok);
    EXPECT_TRUE(h.form->TempoSlide.enabled());
}

}  // namespace
}  // namespace gb
