// Choosing a folder and a starting file, the scan's order, filters and type rules, and clearing the queue.

#include <gtest/gtest.h>

#include "queue/open_path.h"
#include "tests/support/headless.h"
#include "help/form3.h"
#include "suspend/form2.h"

namespace gb {
namespace {

using platform::MessageIcon;
using test::Headless;

struct Scan : ::testing::Test {
    Headless h;
    Form1& f = *h.form;
    void SetUp() override { h.start(); }

    // The user picks `path` under filter `filter` (1-based) in the dialog.
    void pick(const std::string& path, int filter = 1) {
        h.fileDialog.answers.push_back(platform::OpenFileAnswer{path, filter});
        f.menuFileScegli_Click();
        h.events.runAll();
    }
    void folder(const std::string& path, std::vector<std::string> names) {
        h.files.folders[path] = names;
        for (const auto& n : names) h.probe.add((path == "/" ? "" : path) + "/" + n, 320, 200);
    }
    std::vector<std::string> queue() const { return f.DoveShow.listItems(); }
};

TEST_F(Scan, QueuesTheImagesOfTheFolderInAToZOrderAndShowsTheStartingOnePaused) {
    folder("/pics", {"b.JPG", "a.gif", "c.txt", "d.jpeg", "e.bmp"});
    pick("/pics/d.jpeg");
    EXPECT_EQ(queue(), (std::vector<std::string>{"/pics/a.gif", "/pics/b.JPG", "/pics/d.jpeg", "/pics/e.bmp"}));
    EXPECT_EQ(f.form2().ListSI.listItems(), (std::vector<std::string>{"a.gif", "b.JPG", "d.jpeg", "e.bmp"}));
    EXPECT_EQ(f.queue.queueCount(), 4);
    EXPECT_EQ(f.queue.queuePos(), 3);
    EXPECT_EQ(f.Slab(1).caption(), "Tot=4");
    EXPECT_EQ(f.Slab(2).caption(), "Cur=3");
    EXPECT_EQ(f.Slab(3).caption(), "Pause");
    EXPECT_FALSE(f.TempoSlide.enabled());
    EXPECT_EQ(f.DoveShow.text(), "/pics/d.jpeg");
    EXPECT_EQ(f.WebBrwI.locationURL(), "/pics/d.jpeg");
    EXPECT_EQ(f.folderPath, "/pics");
    EXPECT_EQ(f.dirPattern, "*.*");
    EXPECT_EQ(f.form2().TotSI.caption(), "4");
    EXPECT_EQ(f.form2().TotNO.caption(), "0");
    EXPECT_TRUE(f.menuView.enabled());
    EXPECT_TRUE(f.menuSlShow.enabled());
    EXPECT_TRUE(f.menuStrumenti.enabled());
    EXPECT_FALSE(f.menuFileScegli.enabled());
    EXPECT_TRUE(f.Tastiera.hasFocus());
    EXPECT_NE(f.ThumbsList.text().find("/pics/e.bmp"), std::string::npos);
    EXPECT_FALSE(f.form2Exists() && f.form2().window.visible());
}

TEST_F(Scan, TheDialogOffersThreeFiltersAndRemembersTheLastFolderAndFilter) {
    folder("/pics", {"a.gif", "b.gif"});
    folder("/home/user/Pictures", {});
    pick("/pics/a.gif", 3);
    ASSERT_EQ(h.fileDialog.requests.size(), 1u);
    const auto& first = h.fileDialog.requests[0];
    EXPECT_EQ(first.title, "Select a Folder and a starting File");
    ASSERT_EQ(first.filters.size(), 3u);
    EXPECT_EQ(first.filters[0].label, "All image files");
    EXPECT_EQ(first.filters[0].patterns, (std::vector<std::string>{"*.bmp", "*.gif", "*.jpg", "*.jpeg"}));
    EXPECT_EQ(first.filters[1].label, "Files *.jpg;*.jpeg");
    EXPECT_EQ(first.filters[2].label, "Files *.gif");
    EXPECT_EQ(first.initialFolder, "/home/user/Pictures");
    EXPECT_EQ(f.dirPattern, "*.gif");

    f.menuFileAnnulla_Click();
    f.menuFileScegli_Click();  // cancelled
    ASSERT_EQ(h.fileDialog.requests.size(), 2u);
    EXPECT_EQ(h.fileDialog.requests[1].initialFolder, "/pics");
    EXPECT_EQ(h.fileDialog.requests[1].filterIndex, 3);
    EXPECT_EQ(f.fileTypeIndex, 3);
    EXPECT_TRUE(f.menuFileScegli.enabled());
    EXPECT_EQ(f.queue.queueCount(), 0);
}

TEST_F(Scan, TheJpgFilterQueuesJpegFilesTooButNotOtherTypes) {
    folder("/pics", {"a.jpg", "b.jpeg", "c.gif", "D.JPEG"});
    pick("/pics/a.jpg", 2);
    EXPECT_EQ(f.dirPattern, "*.jpg");
    EXPECT_EQ(queue(), (std::vector<std::string>{"/pics/a.jpg", "/pics/b.jpeg", "/pics/D.JPEG"}));
}

TEST_F(Scan, AStartingFileOfAnotherTypeIsNotFoundAndNothingIsShown) {
    folder("/pics", {"a.gif", "b.gif", "start.bmp"});
    pick("/pics/start.bmp", 3);
    EXPECT_EQ(queue(), (std::vector<std::string>{"/pics/a.gif", "/pics/b.gif"}));
    EXPECT_EQ(f.queue.queuePos(), 2);
    EXPECT_EQ(f.Slab(1).caption(), "Tot=2");
    EXPECT_EQ(f.Slab(2).caption(), "Cur=0");
    EXPECT_EQ(f.WebBrwI.locationURL(), "about:blank");
    EXPECT_EQ(f.Slab(3).caption(), "Pause");
}

TEST_F(Scan, NamesWithSeveralDotsAreQueuedByTheirLastTypeAndShown) {
    folder("/pics", {"holiday.2009.jpg", "notes.jpg.txt", "a.b.c.GIF"});
    pick("/pics/holiday.2009.jpg");
    EXPECT_EQ(queue(), (std::vector<std::string>{"/pics/a.b.c.GIF", "/pics/holiday.2009.jpg"}));
    EXPECT_EQ(f.queue.queuePos(), 2);
    EXPECT_EQ(f.WebBrwI.locationURL(), "/pics/holiday.2009.jpg");
}

TEST_F(Scan, NamesEqualButForCaseAreBothQueuedAndTheStartIsMatchedExactly) {
    folder("/pics", {"a.jpg", "A.jpg", "b.jpg"});
    pick("/pics/A.jpg");
    ASSERT_EQ(queue().size(), 3u);
    EXPECT_EQ(f.DoveShow.listItem(f.queue.queuePos() - 1), "/pics/A.jpg");
    EXPECT_EQ(f.DoveShow.text(), "/pics/A.jpg");
}

TEST_F(Scan, AFolderWhoseNameEndsLikeAnImageTypeKeepsItsName) {
    folder("/pics/trip.JPG", {"x.jpg"});
    h.files.folders["/pics"] = {};
    pick("/pics/trip.JPG/x.jpg");
    EXPECT_EQ(f.folderPath, "/pics/trip.JPG");
    EXPECT_EQ(queue(), std::vector<std::string>{"/pics/trip.JPG/x.jpg"});
}

TEST_F(Scan, AFolderPathNamingTheStartingFileLosesThatName) {
    folder("/pics", {"x.jpg"});
    f.folderPath = "/pics/x.jpg";
    f.startFile = "/pics/x.jpg";
    f.dirPattern = "*.*";
    f.DoveShow.setText("/pics/x.jpg");
    f.ScanFolder();
    EXPECT_EQ(f.folderPath, "/pics");
    EXPECT_EQ(queue(), std::vector<std::string>{"/pics/x.jpg"});
}

TEST_F(Scan, TheRootFolderGivesAnEmptyFolderPath) {
    folder("/", {"a.jpg"});
    pick("/a.jpg");
    EXPECT_EQ(f.folderPath, "");
    EXPECT_EQ(queue(), std::vector<std::string>{"/a.jpg"});
    EXPECT_EQ(f.WebBrwI.locationURL(), "/a.jpg");
}

TEST_F(Scan, AnEmptyFolderSaysCheckTheFolder) {
    folder("/empty", {});
    h.files.folders["/empty"] = {};
    pick("/empty/ghost.jpg");
    ASSERT_EQ(h.messages.shown.size(), 1u);
    const auto& box = h.messages.shown[0];
    EXPECT_EQ(box.text, "Check the Folder\r\naddress, es:   C:\\Images\\mine  ");
    EXPECT_EQ(box.title, "Error");
    EXPECT_EQ(box.icon, MessageIcon::Critical);
    EXPECT_EQ(box.buttons, platform::MessageButtons::Ok);
    EXPECT_EQ(f.queue.queueCount(), 0);
    EXPECT_FALSE(f.menuFileScegli.enabled());
    EXPECT_FALSE(f.menuView.enabled());
}

TEST_F(Scan, AFolderWithoutImagesShowsTotZeroWithoutAMessage) {
    folder("/docs", {"a.txt", "b.pdf"});
    pick("/docs/a.txt");
    EXPECT_TRUE(h.messages.shown.empty());
    EXPECT_EQ(f.Slab(1).caption(), "Tot=0");
    EXPECT_EQ(f.ThumbsList.text(), "<HTML><HEAD><TITLE>LUVANOT</TITLE></HEAD><BODY></BODY></HTML>");
    EXPECT_FALSE(f.menuView.enabled());
}

TEST_F(Scan, ANameWithoutADotOrAVanishedFolderSaysWrongImage) {
    folder("/pics", {"README"});
    pick("/pics/README");
    ASSERT_EQ(h.messages.shown.size(), 1u);
    EXPECT_EQ(h.messages.shown[0].text, "Wrong image");
    EXPECT_EQ(h.messages.shown[0].icon, MessageIcon::None);
    EXPECT_EQ(f.queue.queueCount(), 0);

    f.menuFileAnnulla_Click();
    h.files.folders.erase("/pics");  // the remembered folder is gone
    f.menuFileScegli_Click();
    ASSERT_EQ(h.messages.shown.size(), 2u);
    EXPECT_EQ(h.messages.shown[1].text, "Wrong image");
    EXPECT_EQ(h.fileDialog.requests.size(), 1u);
}

TEST_F(Scan, AForwardStepWhileTheScanYieldsDoesNothing) {
    folder("/pics", {"a.jpg", "b.jpg", "c.jpg"});
    int posDuringScan = -1;
    h.events.post([&] {
        f.menuSAvanti_Click();
        posDuringScan = f.queue.queuePos();
    });
    pick("/pics/a.jpg");
    EXPECT_EQ(posDuringScan, 0);
    EXPECT_EQ(f.queue.queuePos(), 1);
    EXPECT_EQ(f.Slab(2).caption(), "Cur=1");
}

TEST_F(Scan, TheListingOrderDoesNotChangeTheQueue) {
    folder("/pics", {"c.jpg", "A.jpg", "b.gif", "a.jpg", "B.GIF"});
    pick("/pics/c.jpg");
    const auto first = queue();
}

// Each refusal names the path and the true reason, and opens nothing.
TEST(CommandLine, EachRefusalNamesThePathAndTheTrueReason) {
    const struct {
        const char* path;
        const char* says;
    } cases[] = {
        {"/nowhere/x.jpg", "Cannot open /nowhere/x.jpg: there is no such file or folder."},
        {"/pics/a.txt", "Cannot open /pics/a.txt: it is not a jpg, jpeg, gif or bmp picture."},
        {"/docs", "There is no jpg, jpeg, gif or bmp picture in the folder /docs."},
        {"/pics/pipe.jpg", "Cannot open /pics/pipe.jpg: it is a named pipe (FIFO), not a picture file."},
        {"/locked", "Cannot open the folder /locked: Permission denied."},
        {"/dark/a.bmp", "Cannot read the folder /dark: Permission denied."},
    };
    for (const auto& c : cases) {
        Headless h;
        h.start();
        h.files.folders["/pics"] = {"c.jpg", "a.txt"};
        h.files.folders["/docs"] = {"a.txt"};
        h.files.special["/pics/pipe.jpg"] = "a named pipe (FIFO)";
        h.files.folders["/locked"] = {"a.jpg"};
        h.files.unreadable["/locked"] = "Permission denied";
        h.files.folders["/dark"] = {"a.bmp"};  // can be entered, not listed (mode 300)
        h.files.unreadable["/dark"] = "Permission denied";
        openFromCommandLine(*h.form, c.path);
        h.events.runAll();
        ASSERT_EQ(h.messages.shown.size(), 1u) << c.path;
        EXPECT_EQ(h.messages.shown[0].text, c.says);
        EXPECT_EQ(h.form->queue.queueCount(), 0) << c.path;
    }
}

}  // namespace
}  // namespace gb
