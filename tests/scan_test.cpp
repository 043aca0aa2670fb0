// SPDX-License-Identifier: GPL-3.0-or-later
// Choosing a folder and a starting file: the dialog, the scan's order, filters and type rules, what is said when
// nothing can be queued, and paths given on the command line.

#include <gtest/gtest.h>

#include "queue/open_path.h"
#include "suspend/form2.h"
#include "tests/support/headless.h"

namespace gb {
namespace {

using test::Headless;

std::string names(const std::vector<std::string>& paths) {
    std::string s;
    for (const auto& p : paths) s += (s.empty() ? "" : " ") + p;
    return s;
}

TEST(Scan, ThePickedFolderIsQueuedByItsTypesInAToZOrderAndTheStartShownPaused) {
    // clang-format off
    struct Row {
        const char* folder;
        std::vector<std::string> files;
        const char* picked;
        int filter;
        const char* queue;
        const char* status;  // Tot, Cur and Pause
        const char* shown;
        const char* message;
    } rows[] = {
        {"/pics", {"b.JPG", "a.gif", "c.txt", "d.jpeg", "e.bmp"}, "/pics/d.jpeg", 1,
         "/pics/a.gif /pics/b.JPG /pics/d.jpeg /pics/e.bmp", "Tot=4 Cur=3 Pause", "/pics/d.jpeg", ""},
        {"/pics", {"c.jpg", "A.jpg", "b.gif", "a.jpg", "B.GIF"}, "/pics/A.jpg", 1,
         "/pics/A.jpg /pics/a.jpg /pics/b.gif /pics/B.GIF /pics/c.jpg", "Tot=5 Cur=1 Pause", "/pics/A.jpg", ""},
        {"/pics", {"a.jpg", "b.jpeg", "c.gif", "D.JPEG"}, "/pics/a.jpg", 2, "/pics/a.jpg /pics/b.jpeg /pics/D.JPEG",
         "Tot=3 Cur=1 Pause", "/pics/a.jpg", ""},
        {"/pics", {"a.gif", "b.gif", "start.bmp"}, "/pics/start.bmp", 3, "/pics/a.gif /pics/b.gif",
         "Tot=2 Cur=0 Pause", "about:blank", ""},  // a start of another type is not found
        {"/pics", {"holiday.2009.jpg", "notes.jpg.txt", "a.b.c.GIF"}, "/pics/holiday.2009.jpg", 1,
         "/pics/a.b.c.GIF /pics/holiday.2009.jpg", "Tot=2 END Pause", "/pics/holiday.2009.jpg", ""},
        {"/pics/trip.JPG", {"x.jpg"}, "/pics/trip.JPG/x.jpg", 1, "/pics/trip.JPG/x.jpg", "Tot=1 END Pause",
         "/pics/trip.JPG/x.jpg", ""},
        {"/", {"a.jpg"}, "/a.jpg", 1, "/a.jpg", "Tot=1 END Pause", "/a.jpg", ""},
        {"/docs", {"a.txt", "b.pdf"}, "/docs/a.txt", 1, "", "Tot=0 Cur=0 Pause", "about:blank", ""},
        {"/empty", {}, "/empty/ghost.jpg", 1, "", "Tot=0 Cur=0 ", "about:blank",
         "Check the Folder\r\naddress, es:   C:\\Images\\mine  |Error"},
        {"/pics", {"README"}, "/pics/README", 1, "", "Tot=0 Cur=0 ", "about:blank", "Wrong image|Glimmerbox"},
    };
    // clang-format on
    for (const Row& r : rows) {
        Headless h;
        h.start();
        h.files.folders[r.folder] = r.files;
        h.fileDialog.answers.push_back(platform::OpenFileAnswer{r.picked, r.filter});
        h.form->menuFileScegli_Click();
        h.events.runAll();
        Form1& f = *h.form;
        EXPECT_EQ(names(f.DoveShow.listItems()), r.queue) << r.picked;
        EXPECT_EQ(f.Slab(1).caption() + " " + f.Slab(2).caption() + " " + f.Slab(3).caption(), r.status) << r.picked;
        EXPECT_EQ(f.WebBrwI.locationURL(), r.shown) << r.picked;
        const std::string said =
            h.messages.shown.empty() ? "" : h.messages.shown[0].text + "|" + h.messages.shown[0].title;
        EXPECT_EQ(said, r.message) << r.picked;
        const bool queued = f.DoveShow.listCount() > 0;
        EXPECT_EQ(f.menuView.enabled() && f.menuSlShow.enabled() && f.menuStrumenti.enabled(), queued) << r.picked;
        if (queued) {
            EXPECT_EQ(f.form2().ListSI.listCount(), f.DoveShow.listCount());
            EXPECT_EQ(f.form2().TotSI.caption(), std::to_string(f.DoveShow.listCount()));
            EXPECT_FALSE(f.menuFileScegli.enabled());
            EXPECT_TRUE(f.Tastiera.hasFocus());
        }
    }
}

TEST(Scan, TheDialogOffersThreeFiltersAndRemembersTheLastFolderAndFilter) {
    Headless h;
    h.start();
    h.files.folders["/pics"] = {"a.gif", "b.gif"};
    h.fileDialog.answers.push_back(platform::OpenFileAnswer{"/pics/a.gif", 3});
    h.form->menuFileScegli_Click();
    ASSERT_EQ(h.fileDialog.requests.size(), 1u);
    const auto& first = h.fileDialog.requests[0];
    EXPECT_EQ(first.title, "Select a Folder and a starting File");
    std::vector<std::string> labels;
    for (const auto& filter : first.filters) labels.push_back(filter.label);
    EXPECT_EQ(labels, (std::vector<std::string>{"All image files", "Files *.jpg;*.jpeg", "Files *.gif"}));
    EXPECT_EQ(first.filters[0].patterns, (std::vector<std::string>{"*.bmp", "*.gif", "*.jpg", "*.jpeg"}));
    EXPECT_EQ(first.initialFolder, "/home/user/Pictures");

    h.form->menuFileAnnulla_Click();
    EXPECT_EQ(h.form->Slab(2).caption(), "Cur=1");
    h.form->menuFileScegli_Click();  // cancelled
    ASSERT_EQ(h.fileDialog.requests.size(), 2u);
    EXPECT_EQ(h.fileDialog.requests[1].initialFolder, "/pics");
    EXPECT_EQ(h.fileDialog.requests[1].filterIndex, 3);
    EXPECT_TRUE(h.form->menuFileScegli.enabled());
    EXPECT_EQ(h.form->DoveShow.listCount(), 0);
    EXPECT_EQ(h.form->form2().ListSI.listCount(), 0);  // the names go with the paths

    // The remembered folder is gone: the dialog does not open.
    h.files.folders.erase("/pics");
    h.form->menuFileScegli_Click();
    EXPECT_EQ(h.fileDialog.requests.size(), 2u);
    ASSERT_EQ(h.messages.shown.size(), 1u);
    EXPECT_EQ(h.messages.shown[0].text, "Wrong image");
}

TEST(Scan, AStepWhileTheScanYieldsDoesNothingAndAFolderPathNamingTheStartLosesTheName) {
    Headless h;
    h.start();
    h.files.folders["/pics"] = {"a.jpg", "b.jpg", "c.jpg"};
    std::string captionDuringScan;
    h.events.post([&] {
        h.form->menuSAvanti_Click();
        captionDuringScan = h.form->Slab(2).caption();
    });
    h.fileDialog.answers.push_back(platform::OpenFileAnswer{"/pics/a.jpg", 1});
    h.form->menuFileScegli_Click();
    h.events.runAll();
    EXPECT_EQ(captionDuringScan, "Cur=0");
    EXPECT_EQ(h.form->Slab(2).caption(), "Cur=1");

    Headless other;
    other.start();
    other.files.folders["/pics"] = {"a.jpg", "b.jpg"};
    other.form->choice.folderPath = other.form->choice.startFile = "/pics/a.jpg";
    other.form->choice.dirPattern = "*.*";
    other.form->DoveShow.setText("/pics/a.jpg");
    other.form->ScanFolder();
    EXPECT_EQ(other.form->choice.folderPath, "/pics");
    EXPECT_EQ(names(other.form->DoveShow.listItems()), "/pics/a.jpg /pics/b.jpg");
}

TEST(CommandLine, AFolderOpensAtItsFirstPictureAndEachRefusalNamesThePathAndTheReason) {
    const struct {
        const char* path;
        const char* says;
    } cases[] = {
        {"/pics", ""},
        {"/pics/c.jpg", ""},
        {"/nowhere/x.jpg", "Cannot open /nowhere/x.jpg: there is no such file or folder."},
        {"/pics/a.txt", "Cannot open /pics/a.txt: it is not a jpg, jpeg, gif or bmp picture."},
        {"/docs", "There is no jpg, jpeg, gif or bmp picture in the folder /docs."},
        {"/pics/pipe.jpg", "Cannot open /pics/pipe.jpg: it is a named pipe (FIFO), not a picture file."},
        {"/locked", "Cannot open the folder /locked: Permission denied."},
        {"/dark/a.bmp", "Cannot read the folder /dark: Permission denied."},
        {"/shut", "Cannot open the folder /shut: Permission denied."},  // listed, not entered (mode 600)
        {"/closed/a.bmp", "Cannot open /closed/a.bmp: the folder /closed cannot be entered (Permission denied)."},
        {"/pics/.c.jpg", "Cannot open /pics/.c.jpg: its name starts with a dot: hidden files are not shown."},
    };
    for (const auto& c : cases) {
        Headless h;
        h.start();
        h.files.folders["/pics"] = {"c.jpg", "a.txt", "B.gif"};
        h.files.folders["/docs"] = {"a.txt"};
        h.files.special["/pics/pipe.jpg"] = "a named pipe (FIFO)";
        h.files.folders["/locked"] = {"a.jpg"};
        h.files.unreadable["/locked"] = "Permission denied";
        h.files.folders["/dark"] = {"a.bmp"};  // can be entered, not listed (mode 300)
        h.files.unreadable["/dark"] = "Permission denied";
        h.files.folders["/shut"] = {"a.jpg"};
        h.files.unreachable["/shut"] = "Permission denied";
        h.files.unreachable["/closed/a.bmp"] = "the folder /closed cannot be entered (Permission denied)";
        h.files.folders["/pics"].push_back(".c.jpg");
        openFromCommandLine(*h.form, c.path);
        h.events.runAll();
        const std::string said = h.messages.shown.empty() ? "" : h.messages.shown[0].text;
        EXPECT_EQ(said, c.says) << c.path;
        EXPECT_EQ(h.form->DoveShow.listCount(), *c.says ? 0 : 2) << c.path;
        if (!*c.says) {
            EXPECT_EQ(h.form->WebBrwI.locationURL(), std::string(c.path) == "/pics" ? "/pics/B.gif" : c.path);
        }
    }
}

}  // namespace
}  // namespace gb
