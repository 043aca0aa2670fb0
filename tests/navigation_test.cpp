// SPDX-License-Identifier: GPL-3.0-or-later
// Moving through the queue by key, menu, name, thumbnail and slideshow tick: the position, the pause, the
// picture shown and the thumbnail bar after each sequence.

#include <gtest/gtest.h>

#include <sstream>

#include "platform/file_url.h"
#include "tests/support/headless.h"

namespace gb {
namespace {

using test::Headless;

struct Viewer {
    Headless h;
    Form1& f = *h.form;
    explicit Viewer(int entries) {
        h.start();
        std::vector<std::string> paths;
        for (int i = 1; i <= entries; ++i) paths.push_back(path(i));
        h.fillQueue(paths);
        f.choice.folderPath = "/pics";
    }
    static std::string path(int i) { return "/pics/img" + std::to_string(100 + i) + ".jpg"; }

    // Words: enter, back (keys); pickN (a name from the folder box); thumbN (a thumbnail clicked); tick; pause
    // (the menu command); click (on the picture); help (the instructions shown); intervalN (picked); textX (typed
    // into the interval box); a (suspend); q (the bar to the current picture); barH (the thumbnail bar shown, its
    // page H pixels high); nobar (hidden again); top (the bar scrolled to its top).
    void run(const std::string& words) {
        std::istringstream in(words);
        for (std::string w; in >> w;) {
            const auto number = [&](std::size_t from) { return std::stoi(w.substr(from)); };
            int code = 0;
            if (w == "enter") code = 13;
            else if (w == "back") code = 8;
            else if (w == "a") code = 65;
            else if (w == "q") code = 81;
            else if (w == "top") f.HDocBrwT->scrollTo(0, 0);
            else if (w == "nobar") f.WebBrwT.setVisible(false);
            else if (w == "tick") f.TempoSlide.elapse();
            else if (w == "pause") f.menuSPausa_Click();
            else if (w == "click") f.HDocBrwI->userClick("", "");
            else if (w == "help") f.menuHelpRegole_Click();
            else if (w.rfind("pick", 0) == 0) f.DoveShow.userPick(number(4) - 1);
            else if (w.rfind("thumb", 0) == 0) f.HDocBrwT->userClick(platform::toFileUrl(path(number(5))), "<IMG>");
            else if (w.rfind("interval", 0) == 0) f.Pausa.userPick(number(8) - 1);
            else if (w.rfind("text", 0) == 0) f.Pausa.setText(w.substr(4));
            else if (w.rfind("bar", 0) == 0) {
                f.WebBrwT.setVisible(true);
                f.HDocBrwT->platformScrollHeight(number(3));
            } else ADD_FAILURE() << "no such word: " << w;
            if (code != 0) f.window.onKeyDown(code, 0);
            h.events.runAll();
        }
    }
    // What the user sees: the position label, the pause label, whether the slideshow runs, the picture.
    std::string seen() const {
        std::string picture = f.WebBrwI.locationURL();
        if (picture.rfind("/pics/img", 0) == 0) picture = std::to_string(std::stoi(picture.substr(9, 3)) - 100);
        return f.Slab(2).caption() + " " + (f.Slab(3).caption().empty() ? "-" : f.Slab(3).caption()) + " " +
               (f.TempoSlide.enabled() ? "running" : "stopped") + " " + picture;
    }
};

TEST(Navigation, EachSequenceLeavesThePositionPauseAndPicture) {
    struct Row {
        int entries;
        const char* words;
        const char* seen;
    } rows[] = {
        {3, "", "Cur=0 - stopped about:blank"},
        {3, "enter", "Cur=1 - running 1"},
        {3, "enter enter enter", "END - running 3"},
        {3, "enter enter enter enter", "END - stopped 3"},  // at the end a step only stops the timer
        {3, "enter enter enter pause enter", "END Pause stopped 3"},
        {0, "enter", "Cur=0 - stopped about:blank"},
        {3, "enter enter back", "Cur=1 Pause stopped 1"},
        {3, "enter back", "Cur=1 - stopped 1"},  // at the first entry: stopped, no pause shown
        {3, "back", "Cur=0 - stopped about:blank"},
        {3, "enter back enter", "Cur=2 - running 2"},  // forward removes the pause
        {1, "enter", "END - running 1"},
        {1, "enter enter", "END - stopped 1"},
        {4, "enter enter enter enter a", "END Pause stopped about:blank"},  // the last one suspended: none current
        {4, "enter enter enter enter a enter", "END Pause stopped about:blank"},
        {4, "enter enter enter enter a back", "END Pause stopped 3"},
        {3, "enter a", "Cur=1 Pause stopped 2"},      // the next one takes its place, paused
        {3, "enter pick3", "Cur=3 Pause stopped 3"},  // a jump never writes END
        {3, "enter thumb3", "Cur=3 Pause stopped 3"},
        {3, "enter help pick3", "Cur=1 Pause stopped 1"},  // the instructions pause the show and stop jumps
        {3, "enter tick", "Cur=2 - running 2"},
        {3, "enter tick tick", "END - running 3"},
        {3, "enter tick tick tick", "END - stopped 3"},
        {3, "enter help pause tick", "Cur=1 - running 1"},
        {3, "enter pause", "Cur=1 Pause stopped 1"},
        {3, "enter pause pause", "Cur=1 - running 1"},
        {3, "enter enter enter enter pause", "END - running 3"},       // a finished show starts again...
        {3, "enter enter enter enter pause tick", "END - stopped 3"},  // ... and its next tick stops it
        {3, "enter click", "Cur=1 Pause stopped 1"},
        {3, "enter click click", "Cur=1 - running 1"},
        {3, "enter help pause click", "Cur=1 - running 1"},
        {3, "enter back pause pause interval3", "Cur=1 - running 1"},
    };
    for (const Row& r : rows) {
        Viewer v(r.entries);
        v.run(r.words);
        EXPECT_EQ(v.seen(), r.seen) << r.words;
        if (std::string(r.words).find("pick") != std::string::npos &&
            std::string(r.words).find("help") == std::string::npos) {
            EXPECT_EQ(v.f.labelShow.caption(), v.f.DoveShow.text()) << r.words;
        }
    }
}

TEST(Navigation, TheIntervalIsReadAtEachTickAndTextThatIsNoNumberIsSkipped) {
    Viewer v(3);
    v.run("enter text3 tick");
    EXPECT_EQ(v.f.TempoSlide.interval(), 3000);
    v.run("textx tick");
    EXPECT_EQ(v.f.TempoSlide.interval(), 3000);
    EXPECT_EQ(v.seen(), "END - running 3");
    v.run("interval5");
    EXPECT_EQ(v.f.Pausa.text(), "5");
    EXPECT_EQ(v.f.TempoSlide.interval(), 5000);
    EXPECT_TRUE(v.f.Tastiera.hasFocus());
}

TEST(Navigation, AJumpFindsTheExactNameAndANameNotInTheQueueKeepsThePosition) {
    Viewer v(0);
    v.h.fillQueue({"/pics/A.jpg", "/pics/a.jpg", "/pics/b.jpg"});
    ASSERT_EQ(v.f.DoveShow.listItem(1), "/pics/a.jpg");
    v.run("pick2");
    EXPECT_EQ(v.f.Slab(2).caption(), "Cur=2");
    v.f.DoveShow.setText("/elsewhere/x.jpg");
    v.f.DoveShow_Click();
    v.h.events.runAll();
    EXPECT_EQ(v.f.Slab(2).caption(), "Cur=2");
    EXPECT_EQ(v.f.WebBrwI.locationURL(), "/elsewhere/x.jpg");
    // Thumbnail clicks without a usable link do nothing.
    EXPECT_FALSE(v.f.HDocBrwT->userClick("", ""));
    EXPECT_FALSE(v.f.HDocBrwT->userClick("file:///", "<IMG>"));
    EXPECT_EQ(v.f.DoveShow.text(), "/elsewhere/x.jpg");
}

TEST(Navigation, AShownThumbnailBarFollowsEveryMoveRoundingHalvesToEven) {
    struct Row {
        int entries;
        const char* words;
        int scrollY;
    } rows[] = {
        {40, "bar4000 pick10", 900},
        {40, "bar4000 pick10 enter", 1000},
        {40, "bar4000 pick10 enter back", 900},
        {40, "bar4000 pick10 enter pick1", 0},
        {2, "bar1001 enter enter", 500},  // 500.5
        {2, "bar1003 enter enter", 502},  // 501.5
        {3, "bar300 enter enter top q", 100},
        {3, "bar300 nobar enter enter back pick3 q", 0},  // a hidden bar is left alone
    };
    for (const Row& r : rows) {
        Viewer v(r.entries);
        v.run(r.words);
        EXPECT_EQ(v.f.HDocBrwT->scrollY(), r.scrollY) << r.words;
    }
}

TEST(ThumbsPage, OneLinkedThumbnailPerEntryInQueueOrderWithNamesThatCannotInjectMarkup) {
    const auto entry = [](const std::string& path) {
        return "<br><A HREF=\"" + path + "\" ><IMG src=\"" + path + "\" WIDTH=50 HEIGHT=50><br>";
    };
    const std::string head = "<HTML><HEAD><TITLE>LUVANOT</TITLE></HEAD><BODY>", tail = "</BODY></HTML>";
    Viewer v(0);
    v.f.BuildThumbsPage();
    EXPECT_EQ(v.f.ThumbsList.text(), head + tail);
    EXPECT_FALSE(v.f.menuView.enabled());
    v.h.fillQueue({"/p/b c.jpg", "/p/a.jpg", "/p/C.gif", "/p/x\" onclick=\"a<b>&c.jpg"});
    v.f.BuildThumbsPage();
    EXPECT_EQ(v.f.ThumbsList.text(), head + entry("/p/a.jpg") + entry("/p/b c.jpg") + entry("/p/C.gif") +
                                         entry("/p/x&quot; onclick=&quot;a&lt;b&gt;&amp;c.jpg") + tail);
    EXPECT_TRUE(v.f.menuView.enabled() && v.f.menuSlShow.enabled() && v.f.menuStrumenti.enabled());
}

TEST(ThumbsPage, TheBarShowsThePageOfTheQueueAsItIsAndScrollsOnlyWhenAsked) {
    Headless h;
    h.start();
    Form1& f = *h.form;
    std::vector<std::string> names;
    for (int i = 10; i < 50; ++i) names.push_back("img" + std::to_string(i) + ".jpg");
    h.openFolder("/pics", names, "img20.jpg");
    f.HDocBrwT->platformScrollHeight(4000);
    f.menuThumb_Click();
    EXPECT_EQ(f.HDocBrwT->scrollY(), 1000);
    EXPECT_EQ(f.HDocBrwT->bodyHTML(), f.ThumbsList.text());
    EXPECT_EQ(f.Risoluzione.left(), 111);
    f.menuThumb_Click();
    EXPECT_EQ(f.Risoluzione.left(), 6);

    // A reload writes the page, but never the empty one, and scrolls only when asked while shown.
    f.menuThumb_Click();
    f.HDocBrwT->scrollTo(0, 0);
    f.WebBrwT_DocumentComplete("about:blank");
    EXPECT_EQ(f.HDocBrwT->scrollY(), 0);
    f.thumbsScroll = Form1::ThumbsScroll::ToCurrent;
    f.WebBrwT_DocumentComplete("about:blank");
    EXPECT_EQ(f.HDocBrwT->scrollY(), 1000);
    f.ThumbsList.setText("<HTML><HEAD><TITLE>LUVANOT</TITLE></HEAD><BODY></BODY></HTML>");
    f.HDocBrwT->setActiveElementInnerHTML("<p>before</p>");
    f.WebBrwT_DocumentComplete("about:blank");
    EXPECT_EQ(f.HDocBrwT->bodyHTML(), "<p>before</p>");
}

}  // namespace
}  // namespace gb
