// SPDX-License-Identifier: GPL-3.0-or-later
// Suspending images, bringing them back and removing their files: the two lists, the position, the counters
// and the files after every sequence; and what the exit does with the suspended files.

#include <gtest/gtest.h>

#include <sstream>

#include "suspend/form2.h"
#include "tests/support/headless.h"

namespace gb {
namespace {

using platform::MessageAnswer;

struct Lists {
    test::Headless h;
    Form1& f = *h.form;
    Form2& w = f.form2();
    Lists(const std::vector<std::string>& names, const std::string& start) {
        h.start();
        h.openFolder("/pics", names, start);
    }
    // Words: a, z, back (keys); noN (the Nth current name suspended with "->"); siN (the Nth suspended name
    // brought back with "<-"); yes, no (the answer to the next question); erase (the erase mode chosen); refuse
    // (the trash refuses the file on show); bare (both arrows with nothing picked).
    void run(const std::string& words) {
        std::istringstream in(words);
        for (std::string word; in >> word;) {
            int code = 0;
            if (word == "a") code = 65;
            else if (word == "z") code = 90;
            else if (word == "back") code = 8;
            else if (word == "yes") h.messages.answers.push_back(MessageAnswer::Yes);
            else if (word == "no") h.messages.answers.push_back(MessageAnswer::No);
            else if (word == "erase") f.menuBin.userClick();
            else if (word == "refuse") h.trash.refuse.push_back(f.DoveShow.text());
            else if (word == "bare") {
                w.ComNo.userClick();
                w.ComSi.userClick();
            } else if (word.rfind("no", 0) == 0) {
                w.ListSI.userPick(std::stoi(word.substr(2)) - 1);
                w.ComNo.userClick();
            } else if (word.rfind("si", 0) == 0) {
                w.ListNO.userPick(std::stoi(word.substr(2)) - 1);
                w.ComSi.userClick();
            }
            if (code != 0) f.window.onKeyDown(code, 0);
            h.events.runAll();
        }
    }
    static std::string join(const std::vector<std::string>& v) {
        std::string s;
        for (const auto& x : v) {
            const std::string name = x.substr(x.rfind('/') + 1);
            s += (s.empty() ? "" : " ") + name.substr(0, name.rfind('.'));
        }
        return s;
    }
    // The queue's names | the suspended names | position | total | the picture on show | the folder.
    std::string seen() {
        EXPECT_EQ(join(f.DoveShow.listItems()), join(w.ListSI.listItems()));
        EXPECT_EQ(w.TotSI.caption(), std::to_string(w.ListSI.listCount()));
        EXPECT_EQ(w.TotNO.caption(), std::to_string(w.ListNO.listCount()));
        const std::string shown = f.WebBrwI.locationURL();
        return join(w.ListSI.listItems()) + " | " + join(w.ListNO.listItems()) + " | " + f.Slab(2).caption() + " " +
               f.Slab(1).caption() + " | " + shown.substr(shown.rfind('/') + 1) + " | " +
               join(h.files.folders["/pics"]);
    }
};

TEST(Suspend, EverySequenceKeepsThePositionOnThePictureOnShow) {
    struct Row {
        const char* start;
        const char* words;
        const char* seen;
    } rows[] = {
        {"b", "a", "a c d | b | Cur=2 Tot=3 | c.jpg | a b c d"},
        {"b", "a a", "a d | b c | END Tot=2 | d.jpg | a b c d"},
        {"d", "a", "a b c | d | END Tot=3 | about:blank | a b c d"},    // the last one: nothing on show
        {"d", "a a", "a b c | d | END Tot=3 | about:blank | a b c d"},  // nothing current: nothing changes
        {"d", "a back", "a b c | d | END Tot=3 | c.jpg | a b c d"},
        {"c", "no1", "b c d | a | Cur=2 Tot=3 | c.jpg | a b c d"},  // before the current one
        {"c", "no1 no3", "b c | a d | END Tot=2 | c.jpg | a b c d"},
        {"c", "no1 no3 si1", "a b c | d | END Tot=3 | c.jpg | a b c d"},
        {"c", "no1 no3 si1 si1", "a b c d |  | Cur=3 Tot=4 | c.jpg | a b c d"},
        {"a", "no1", "b c d | a | Cur=1 Tot=3 | b.jpg | a b c d"},    // "->" on the picture on show is the key A
        {"a", "bare", "a b c d |  | Cur=1 Tot=4 | a.jpg | a b c d"},  // nothing picked: nothing moves
        {"b", "z", "a c d |  | Cur=2 Tot=3 | c.jpg | a c d"},         // the trash takes it without a question
        {"b", "refuse z", "a b c d |  | Cur=2 Tot=4 | b.jpg | a b c d"},
        {"b", "erase no z", "a b c d |  | Cur=2 Tot=4 | b.jpg | a b c d"},
        {"b", "erase yes z", "a c d |  | Cur=2 Tot=3 | c.jpg | a c d"},
        {"d", "erase yes z", "a b c |  | END Tot=3 | about:blank | a b c"},
    };
    for (const Row& r : rows) {
        Lists l({"a.jpg", "b.jpg", "c.jpg", "d.jpg"}, std::string(r.start) + ".jpg");
        l.run(r.words);
        EXPECT_EQ(l.seen(), r.seen) << r.start << ": " << r.words;
    }
}

TEST(Suspend, NamesDifferingOnlyInCaseKeepThePositionOnTheirOwnEntry) {
    Lists l({"B.jpg", "b.jpg", "c.jpg"}, "b.jpg");
    l.run("no1");
    EXPECT_EQ(l.seen(), "b c | B | Cur=1 Tot=2 | b.jpg | B b c");
    l.run("si1");
    EXPECT_EQ(l.seen(), "b B c |  | Cur=1 Tot=3 | b.jpg | B b c");
}

TEST(Suspend, RemovalPausesAndSaysWhyAFileStays) {
    Lists l({"a.jpg", "b.jpg"}, "a.jpg");
    l.run("refuse z");
    ASSERT_EQ(l.h.messages.shown.size(), 1u);
    EXPECT_NE(l.h.messages.shown[0].text.find("/pics/a.jpg"), std::string::npos);
    EXPECT_NE(l.h.messages.shown[0].text.find("trash is full"), std::string::npos);
    EXPECT_EQ(l.f.Slab(3).caption(), "Pause");

    l.run("erase no z");
    const platform::MessageRequest& q = l.h.messages.shown.back();
    EXPECT_EQ(q.text + "|" + q.title, "Are you sure ?|ERASE FROM DISK");
    EXPECT_EQ(q.buttons, platform::MessageButtons::YesNo);
    EXPECT_EQ(q.escapeAnswer, MessageAnswer::No);  // Escape keeps the file
    l.h.files.readOnly = {"/pics/a.jpg"};
    l.run("yes z");
    EXPECT_NE(l.h.messages.shown.back().text.find("could not be erased"), std::string::npos);
    EXPECT_EQ(l.f.DoveShow.text(), "/pics/a.jpg");
    l.f.menuNobin.userClick();  // either item swaps the mode
    EXPECT_TRUE(l.f.menuBin.checked());
}

TEST(Exit, TheSuspendedFilesAreKeptOrRemovedByTheirOwnPaths) {
    struct Row {
        const char* words;  // before the exit
        const char* answer;
        std::vector<std::string> trashed, erased;
        std::size_t messages;
        const char* lastMessage;
    } rows[] = {
        {"", "", {}, {}, 0, ""},
        {"a a", "yes", {}, {}, 1, "Keep ?"},
        {"a a", "no", {"/pics/b.jpg", "/pics/c.jpg"}, {}, 1, "Keep ?"},
        {"a a erase", "no", {}, {"/pics/b.jpg", "/pics/c.jpg"}, 1, "Keep ?"},
        {"a a refuse", "no", {"/pics/b.jpg"}, {}, 2, "These suspended files could not be removed"},
    };
    for (const Row& r : rows) {
        Lists l({"a.jpg", "b.jpg", "c.jpg", "d.jpg"}, "b.jpg");
        l.run(r.words);
        // A cancelled dialog moves the folder path: the suspended files are still those of /pics.
        l.f.choice.folderPath = "/other";
        if (std::string(r.words).find("refuse") != std::string::npos) l.h.trash.refuse = {"/pics/c.jpg"};
        l.run(r.answer);
        int previews = 0;
        l.w.ListNO.onClick = [&] {
            l.w.ListNO_Click();
            previews += !l.w.Minia.picturePath().empty();
        };
        EXPECT_FALSE(l.f.window.onQueryUnload()) << r.words;  // the close box is never refused
        EXPECT_EQ(l.h.trash.trashed, r.trashed) << r.words;
        EXPECT_EQ(l.h.files.removed, r.erased) << r.words;
        EXPECT_EQ(previews, 0);
        ASSERT_EQ(l.h.messages.shown.size(), r.messages) << r.words;
        if (r.messages > 0) {
            EXPECT_EQ(l.h.messages.shown[0].title, "What to do for suspended images");
            EXPECT_EQ(l.h.messages.shown[0].escapeAnswer, MessageAnswer::Yes);  // Escape keeps them
            EXPECT_EQ(l.h.messages.shown.back().text.rfind(r.lastMessage, 0), 0u) << l.h.messages.shown.back().text;
        }
        EXPECT_TRUE(l.f.window.unloaded() && l.w.window.unloaded());
    }
}

TEST(Suspend, TheWindowPausesThePreviewFillsItsBoxAndClosingRebuildsTheThumbnails) {
    Lists l({"a.jpg", "b.jpg", "c.jpg"}, "a.jpg");
    l.f.menuThumb_Click();
    l.f.menuGestAcc_Click();
    EXPECT_FALSE(l.f.window.visible());
    EXPECT_TRUE(l.w.window.visible());
    EXPECT_EQ(l.f.Slab(3).caption(), "Pause");

    l.h.probe.add("/pics/b.jpg", 400, 800);
    l.w.ListSI.userPick(1);
    EXPECT_EQ(l.w.Minia.picturePath(), "/pics/b.jpg");
    EXPECT_EQ(l.w.Minia.height(), 129);
    EXPECT_EQ(l.w.Minia.width(), 64);
    EXPECT_TRUE(l.w.ComNo.enabled() && !l.w.ComSi.enabled());
    l.run("no3");
    l.w.ListNO.userPick(0);
    EXPECT_TRUE(!l.w.ComNo.enabled() && l.w.ComSi.enabled());
    l.f.queue.append("/pics/gone.jpg", "gone.jpg");  // a file that cannot be read leaves the preview as it was
    l.w.ListSI.userPick(l.w.ListSI.listCount() - 1);
    EXPECT_EQ(l.w.Minia.picturePath(), "/pics/c.jpg");
    l.f.queue.removeAt(l.w.ListSI.listCount() - 1);

    EXPECT_TRUE(l.w.window.onQueryUnload());  // the close box only hides it
    EXPECT_TRUE(l.f.window.visible());
    EXPECT_EQ(l.f.ThumbsList.text().find("c.jpg"), std::string::npos);
    EXPECT_EQ(l.f.HDocBrwT->bodyHTML(), l.f.ThumbsList.text());

    // The key A reloads the bar and scrolls it to the current picture once loaded.
    l.f.HDocBrwT->platformScrollHeight(300);
    l.run("a");
    EXPECT_EQ(l.f.ThumbsList.text().find("/pics/a.jpg"), std::string::npos);
    EXPECT_EQ(l.f.HDocBrwT->bodyHTML(), l.f.ThumbsList.text());
    EXPECT_TRUE(l.f.WebBrwT.hasFocus());
}

// A name suspended in one folder does not stand for the same name of the next folder opened.
TEST(Suspend, ThePreviewOfAQueuedNameIsTheFileOfTheFolderOnShow) {
    Lists l({"a.jpg", "b.jpg"}, "a.jpg");
    l.run("a");
    l.f.menuFileAnnulla_Click();
    l.h.openFolder("/other", {"a.jpg"}, "a.jpg");
    l.w.ListSI.userPick(0);
    EXPECT_EQ(l.w.Minia.picturePath(), "/other/a.jpg");
    EXPECT_EQ(l.w.ListNO.listCount(), 0);
}

}  // namespace
}  // namespace gb
