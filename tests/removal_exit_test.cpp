// Removing the current file with "z", the removal mode, and the exit questions about suspended files.

#include <gtest/gtest.h>

#include "tests/support/headless.h"
#include "help/form3.h"
#include "suspend/form2.h"

namespace gb {
namespace {

using platform::MessageAnswer;

struct Removal : ::testing::Test {
    test::Headless h;
    Form1& f = *h.form;
    Form2& w = f.form2();
    void SetUp() override {
        h.start();
        h.openFolder("/pics", {"a.jpg", "b.jpg", "c.jpg", "d.jpg"}, "b.jpg");
    }
    void key(int code) {
        f.window.onKeyDown(code, 0);
        h.events.runAll();
    }
    std::vector<std::string> folder() { return h.files.folders["/pics"]; }
};

TEST_F(Removal, ZInTrashModeTrashesTheCurrentFileWithoutAQuestion) {
    key(90);
    EXPECT_EQ(h.trash.trashed, std::vector<std::string>{"/pics/b.jpg"});
    EXPECT_TRUE(h.messages.shown.empty());
    EXPECT_EQ(folder(), (std::vector<std::string>{"a.jpg", "c.jpg", "d.jpg"}));
    EXPECT_EQ(f.DoveShow.listItems(), (std::vector<std::string>{"/pics/a.jpg", "/pics/c.jpg", "/pics/d.jpg"}));
    EXPECT_EQ(f.WebBrwI.locationURL(), "/pics/c.jpg");
    EXPECT_EQ(f.queue.queuePos(), 2);
    EXPECT_EQ(f.Slab(1).caption(), "Tot=3");
    EXPECT_EQ(w.ListNO.listCount(), 0);
    EXPECT_EQ(f.Slab(3).caption(), "Pause");
}

TEST_F(Removal, AFileTheTrashRefusesStaysInTheShowAndTheUserIsTold) {
    h.trash.refuse = {"/pics/b.jpg"};
    key(90);
    EXPECT_TRUE(h.trash.trashed.empty());
    EXPECT_EQ(f.DoveShow.listCount(), 4);
    EXPECT_EQ(f.queue.queuePos(), 2);
    EXPECT_EQ(f.Slab(1).caption(), "Tot=4");
    ASSERT_EQ(h.messages.shown.size(), 1u);
    EXPECT_NE(h.messages.shown[0].text.find("/pics/b.jpg"), std::string::npos);
    EXPECT_NE(h.messages.shown[0].text.find("trash is full"), std::string::npos);
    EXPECT_EQ(f.Slab(3).caption(), "Pause");
}

TEST_F(Removal, ZInEraseModeAsksEveryTimeAndOnlyYesErases) {
    f.menuBin.userClick();  // picking the checked item swaps the mode
    EXPECT_TRUE(f.menuNobin.checked());
    EXPECT_FALSE(f.menuBin.checked());

    h.messages.answers = {MessageAnswer::No};
    key(90);
    ASSERT_EQ(h.messages.shown.size(), 1u);
    const auto& q = h.messages.shown[0];
    EXPECT_EQ(q.text, "Are you sure ?");
    EXPECT_EQ(q.title, "ERASE FROM DISK");
    EXPECT_EQ(q.buttons, platform::MessageButtons::YesNo);
    EXPECT_EQ(q.icon, platform::MessageIcon::None);
    EXPECT_EQ(q.escapeAnswer, MessageAnswer::No);  // Escape keeps the file
    EXPECT_EQ(folder().size(), 4u);
    EXPECT_EQ(f.queue.queueCount(), 4);
    EXPECT_EQ(f.Slab(3).caption(), "Pause");

    h.messages.answers = {MessageAnswer::Yes};
    key(90);
    EXPECT_EQ(h.files.removed, std::vector<std::string>{"/pics/b.jpg"});
    EXPECT_TRUE(h.trash.trashed.empty());
    EXPECT_EQ(f.queue.queueCount(), 3);
    EXPECT_EQ(h.messages.shown.size(), 2u);

    f.menuNobin.userClick();
    EXPECT_TRUE(f.menuBin.checked());
}

TEST_F(Removal, AFileThatCannotBeErasedStays) {
    f.ToggleRemovalMode();
    h.files.readOnly = {"/pics/b.jpg"};
    h.messages.answers = {MessageAnswer::Yes};
    key(90);
    EXPECT_EQ(f.queue.queueCount(), 4);
    EXPECT_EQ(f.queue.queuePos(), 2);
    EXPECT_EQ(f.DoveShow.text(), "/pics/b.jpg");
    ASSERT_EQ(h.messages.shown.size(), 2u);
    EXPECT_NE(h.messages.shown[1].text.find("/pics/b.jpg"), std::string::npos);
}

TEST_F(Removal, ExitWithNothingSuspendedAsksNothing) {
    EXPECT_FALSE(f.window.onQueryUnload());
    EXPECT_TRUE(h.messages.shown.empty());
    EXPECT_TRUE(f.window.unloaded());
    EXPECT_TRUE(w.window.unloaded());
    EXPECT_EQ(f.mainClosing, -1);
}

TEST_F(Removal, ExitKeepingTheSuspendedFilesTouchesNothing) {
    key(65);
    key(65);
    h.messages.answers = {MessageAnswer::Yes};
    f.menuFileChiudi.userClick();
    ASSERT_EQ(h.messages.shown.size(), 1u);
    EXPECT_EQ(h.messages.shown[0].text, "Keep ?");
    EXPECT_EQ(h.messages.shown[0].title, "What to do for suspended images");
    EXPECT_EQ(h.messages.shown[0].escapeAnswer, MessageAnswer::Yes);
    EXPECT_EQ(folder().size(), 4u);
    EXPECT_TRUE(f.window.unloaded());
}

TEST_F(Removal, ExitRemovingTheSuspendedFilesGoesInListOrderByTheirOwnPaths) {
    key(65);  // b
    f.DoveShow.userPick(0);
    key(65);  // a
    key(65);  // c
    // A cancelled dialog elsewhere moves folderPath; the suspended files must still be the ones of /pics.
    h.files.folders["/other"] = {"a.jpg", "b.jpg", "c.jpg"};
    f.folderPath = "/other";
    int previewsDuringRemoval = 0;
    w.ListNO.onClick = [&] {
        w.ListNO_Click();
        if (!w.Minia.picturePath().empty()) ++previewsDuringRemoval;
    };
    h.messages.answers = {MessageAnswer::No};
    EXPECT_FALSE(f.window.onQueryUnload());
    EXPECT_EQ(h.trash.trashed, (std::vector<std::string>{"/pics/a.jpg", "/pics/b.jpg", "/pics/c.jpg"}));
    EXPECT_EQ(h.files.folders["/other"].size(), 3u);
    EXPECT_EQ(previewsDuringRemoval, 0);
    EXPECT_EQ(f.exitRemoval, 1);
    EXPECT_TRUE(f.window.unloaded());
}

TEST_F(Removal, ExitInEraseModeErasesAndNamesWhatCouldNotGoInOneMessage) {
    key(65);  // b
    key(65);  // c
    f.ToggleRemovalMode();
    h.files.readOnly = {"/pics/b.jpg"};
    h.messages.answers = {MessageAnswer::No};
    f.menuFileChiudi_Click();
    EXPECT_EQ(h.files.removed, std::vector<std::string>{"/pics/c.jpg"});
    ASSERT_EQ(h.messages.shown.size(), 2u);
    EXPECT_NE(h.messages.shown[1].text.find("/pics/b.jpg"), std::string::npos);
    EXPECT_TRUE(f.window.unloaded());
}

}  // namespace
}  // namespace gb
