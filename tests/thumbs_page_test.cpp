// The text of the thumbnail page.

#include <gtest/gtest.h>

#include "tests/support/headless.h"

namespace gb {
namespace {

const std::string head = "<HTML><HEAD><TITLE>LUVANOT</TITLE></HEAD><BODY>";
const std::string tail = "</BODY></HTML>";

std::string entry(const std::string& path) {
    return "<br><A HREF=\"" + path + "\" ><IMG src=\"" + path + "\" WIDTH=50 HEIGHT=50><br>";
}

TEST(ThumbsPage, HoldsOneLinkedThumbnailPerEntryInQueueOrderAndEnablesTheMenus) {
    test::Headless h;
    h.start();
    h.fillQueue({"/p/b c.jpg", "/p/a.jpg", "/p/C.gif"});
    h.form->BuildThumbsPage();
    EXPECT_EQ(h.form->ThumbsList.text(), head + entry("/p/a.jpg") + entry("/p/b c.jpg") + entry("/p/C.gif") + tail);
    EXPECT_TRUE(h.form->menuView.enabled());
    EXPECT_TRUE(h.form->menuSlShow.enabled());
    EXPECT_TRUE(h.form->menuStrumenti.enabled());
}

TEST(ThumbsPage, AnEmptyQueueGivesTheEmptyPageAndLeavesTheMenusAlone) {
    test::Headless h;
    h.start();
    h.form->BuildThumbsPage();
    EXPECT_EQ(h.form->ThumbsList.text(), "<HTML><HEAD><TITLE>LUVANOT</TITLE></HEAD><BODY></BODY></HTML>");
    EXPECT_FALSE(h.form->menuView.enabled());
}

TEST(ThumbsPage, ANameCannotInjectMarkup) {
    test::Headless h;
    h.start();
    h.fillQueue({"/p/x\" onclick=\"a<b>&c.jpg"});
    h.form->BuildThumbsPage();
    const std::string escaped = "/p/x&quot; onclick=&quot;a&lt;b&gt;&amp;c.jpg";
    EXPECT_EQ(h.form->ThumbsList.text(), head + entry(escaped) + tail);
}

}  // namespace
}  // namespace gb
