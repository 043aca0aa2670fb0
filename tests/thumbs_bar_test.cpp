// The thumbnail bar: showing and hiding it, its page, keeping it in step, and jumping by a click.

#include <gtest/gtest.h>

#include "platform/file_url.h"
#include "tests/support/headless.h"

namespace gb {
namespace {

using test::Headless;

struct ThumbsBar : ::testing::Test {
    Headless h;
    Form1& f = *h.form;
    void SetUp() override { h.start(); }

    void scan(const std::string& folder, const std::vector<std::string>& names, const std::string& start) {
        h.openFolder(folder, names, start);
    }
    // A click on the thumbnail of `path`, as the browser reports it.
    bool click(const std::string& path) { return f.HDocBrwT->userClick(platform::toFileUrl(path), "<IMG>"); }
};

TEST_F(ThumbsBar, ShowingPlacesTheBarAndScrollsItToTheCurrentImage) {
    std::vector<std::string> names;
    for (int i = 10; i < 50; ++i) names.push_back("img" + std::to_string(i) + ".jpg");
    scan("/pics", names, "img20.jpg");
    ASSERT_EQ(f.queue.queuePos(), 11);
    f.HDocBrwT->platformScrollHeight(4000);
    f.Risoluzione.setLeft(200);
    f.menuThumb_Click();
    EXPECT_TRUE(f.menuThumb.checked());
    EXPECT_TRUE(f.WebBrwT.visible());
    EXPECT_EQ(f.WebBrwI.left(), 109);
    EXPECT_EQ(f.WebBrwI.width(), Headless::maximisedWidth - 8 - 105);
    EXPECT_EQ(f.Risoluzione.left(), 111);
    EXPECT_EQ(f.HDocBrwT->scrollY(), 1000);
    EXPECT_TRUE(f.WebBrwT.hasFocus());
    // The bar holds the page of the queue as it is.
    EXPECT_EQ(f.HDocBrwT->bodyHTML(), f.ThumbsList.text());

    f.menuThumb_Click();
    EXPECT_FALSE(f.menuThumb.checked());
    EXPECT_FALSE(f.WebBrwT.visible());
    EXPECT_EQ(f.WebBrwI.left(), 4);
    EXPECT_EQ(f.WebBrwI.width(), Headless::maximisedWidth - 8);
    EXPECT_EQ(f.Risoluzione.left(), 6);

    f.DoveShow.userPick(0);
    f.menuThumb_Click();
    EXPECT_EQ(f.HDocBrwT->scrollY(), 0);
}

TEST_F(ThumbsBar, ACompletedLoadWritesThePageButNeverTheEmptyOne) {
    scan("/pics", {"a.jpg", "b.jpg"}, "a.jpg");
    f.WebBrwT.Navigate2("about:blank");
    h.events.runAll();
    EXPECT_EQ(f.HDocBrwT->bodyHTML(), f.ThumbsList.text());

    f.ThumbsList.setText("<HTML><HEAD><TITLE>LUVANOT</TITLE></HEAD><BODY></BODY></HTML>");
    f.HDocBrwT->setActiveElementInnerHTML("<p>before</p>");
    f.WebBrwT_DocumentComplete("about:blank");
    EXPECT_EQ(f.HDocBrwT->bodyHTML(), "<p>before</p>");
}

TEST_F(ThumbsBar, ACompletedReloadScrollsOnlyWhenAskedAndVisible) {
    scan("/pics", {"a.jpg", "b.jpg", "c.jpg", "d.jpg"}, "c.jpg");
    f.menuThumb_Click();
    f.HDocBrwT->platformScrollHeight(400);
    f.HDocBrwT->scrollTo(0, 0);
    f.thumbsScrollPending = 0;
    f.WebBrwT_DocumentComplete("about:blank");
    EXPECT_EQ(f.HDocBrwT->scrollY(), 0);
    f.thumbsScrollPending = -1;
    f.WebBrwT_DocumentComplete("about:blank");
    EXPECT_EQ(f.HDocBrwT->scrollY(), 200);
    EXPECT_EQ(f.thumbsScrollPending, 0);
}

TEST_F(ThumbsBar, RefreshRebuildsAndReloadsThePage) {
    scan("/pics", {"a.jpg", "b.jpg"}, "a.jpg");
    f.DoveShow.addItem("/pics/c.jpg");
    f.RefreshThumbs();
    EXPECT_NE(f.ThumbsList.text().find("/pics/c.jpg"), std::string::npos);
    EXPECT_EQ(f.HDocBrwT->bodyHTML(), f.ThumbsList.text());
    h.events.runAll();
    EXPECT_EQ(f.HDocBrwT->bodyHTML(), f.ThumbsList.text());
}

TEST_F(ThumbsBar, AClickOnAnyNameJumpsToItsImagePaused) {
    const std::vector<std::string> names = {"my photo.jpg", "café.jpg",    "100%.jpg",   "a#1.jpg",
                                            "it's \"q\".jpg", "<b>&c.jpg", "日本.jpg", "what?.jpg", "z last.jpg"};
    scan("/pics", names, "z last.jpg");
    f.menuThumb_Click();
    const std::string page = f.HDocBrwT->bodyHTML();
    for (const auto& name : names) {
        const std::string path = "/pics/" + name;
        f.TempoSlide.setEnabled(true);
        f.Slab(3).setCaption("");
        EXPECT_FALSE(click(path)) << name;
        int index = -1;
        for (int i = 0; i < f.DoveShow.listCount(); ++i)
            if (f.DoveShow.listItem(i) == path) index = i;
        EXPECT_EQ(f.queue.queuePos(), index + 1) << name;
        EXPECT_EQ(f.Slab(2).caption(), "Cur=" + std::to_string(index + 1)) << name;  // never "END"
        EXPECT_EQ(f.DoveShow.text(), path);
        EXPECT_EQ(f.labelShow.caption(), path);
        EXPECT_FALSE(f.TempoSlide.enabled());
        EXPECT_EQ(f.Slab(3).caption(), "Pause");
        h.events.runAll();
        EXPECT_EQ(f.WebBrwI.locationURL(), path);
    }
    EXPECT_EQ(f.HDocBrwT->bodyHTML(), page);
}

TEST_F(ThumbsBar, ClicksWithoutAUsableLinkDoNothing) {
    scan("/pics", {"a.jpg", "b.jpg"}, "b.jpg");
    EXPECT_FALSE(f.HDocBrwT->userClick("", ""));
    EXPECT_FALSE(f.HDocBrwT->userClick("file:///", "<IMG>"));
    EXPECT_EQ(f.queue.queuePos(), 2);
    EXPECT_EQ(f.DoveShow.text(), "/pics/b.jpg");
    // A file outside the queue is shown, but the position stays.
    EXPECT_FALSE(click("/elsewhere/x.jpg"));
    EXPECT_EQ(f.DoveShow.text(), "/elsewhere/x.jpg");
    EXPECT_EQ(f.queue.queuePos(), 2);
}

}  // namespace
}  // namespace gb
