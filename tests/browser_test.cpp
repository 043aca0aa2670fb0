// SPDX-License-Identifier: GPL-3.0-or-later
// The browser control: asynchronous loading, the image document, and file URLs.

#include "platform/browser.h"

#include <gtest/gtest.h>

#include "platform/file_url.h"
#include "tests/support/headless.h"

namespace gb::platform {
namespace {

struct BrowserFixture : ::testing::Test {
    test::ManualEventQueue events;
    test::ScriptedImageProbe probe;
    Browser browser{"WebBrwI", events, probe};
    std::vector<std::string> completed;
    void SetUp() override {
        browser.onDocumentComplete = [this](const std::string& url) { completed.push_back(url); };
    }
};

TEST_F(BrowserFixture, NavigateReturnsAtOnceAndCompletesLaterThroughTheEventQueue) {
    probe.add("/pics/a.jpg", 640, 480);
    browser.Navigate2("/pics/a.jpg");
    EXPECT_EQ(browser.readyState(), Browser::readyStateLoading);
    EXPECT_TRUE(completed.empty());
    events.runAll();
    EXPECT_EQ(browser.readyState(), Browser::readyStateComplete);
    ASSERT_EQ(completed, std::vector<std::string>{"/pics/a.jpg"});
    const Document& doc = browser.document();
    EXPECT_EQ(doc.activeElementInnerHTML(), "<IMG src=\"file:///pics/a.jpg\">");
    ASSERT_EQ(doc.images().size(), 1u);
    EXPECT_EQ(doc.images()[0].width, 640);
    EXPECT_EQ(doc.images()[0].height, 480);
}

TEST_F(BrowserFixture, AboutBlankGivesAnEmptyDocumentAndTheDocumentObjectStaysTheSame) {
    Document* bound = &browser.document();
    probe.add("/pics/a.jpg", 10, 10);
    browser.Navigate2("/pics/a.jpg");
    events.runAll();
    browser.Navigate2("about:blank");
    events.runAll();
    EXPECT_EQ(&browser.document(), bound);
    EXPECT_EQ(bound->activeElementInnerHTML(), "");
    EXPECT_TRUE(bound->images().empty());
    EXPECT_EQ(completed.back(), "about:blank");
}

TEST_F(BrowserFixture, ANewerNavigationSupersedesOneStillLoading) {
    probe.add("/p/1.jpg", 1, 1);
    probe.add("/p/2.jpg", 2, 2);
    browser.Navigate2("/p/1.jpg");
    browser.Navigate2("/p/2.jpg");
    events.runAll();
    EXPECT_EQ(completed, std::vector<std::string>{"/p/2.jpg"});
    EXPECT_EQ(browser.document().images().at(0).width, 2);
}

TEST_F(BrowserFixture, AFileThatCannotBeShownGivesAPageNamingItWithoutImages) {
    browser.Navigate2("/p/<b>&\"gone\".jpg");
    events.runAll();
    const std::string page = browser.document().bodyHTML();
    EXPECT_NE(page.find("/p/&lt;b&gt;&amp;&quot;gone&quot;.jpg"), std::string::npos) << page;
    EXPECT_NE(page.find("does not exist"), std::string::npos);
    EXPECT_TRUE(browser.document().images().empty());
    EXPECT_EQ(completed.size(), 1u);
}

TEST_F(BrowserFixture, ClickReachesTheHandlerWhichMayCancelTheLink) {
    Document& doc = browser.document();
    doc.onclick = [] { return false; };
    EXPECT_FALSE(doc.userClick("file:///p/a%20b.jpg", "<IMG>"));
    EXPECT_TRUE(doc.activeElementIsLink());
    EXPECT_EQ(doc.activeElementValue(), "file:///p/a%20b.jpg");
    doc.setActiveElementInnerHTML("<p>x</p>");
    EXPECT_FALSE(doc.activeElementIsLink());
}

TEST(FileUrl, IsTheExactInverseForAwkwardNames) {
    const std::string names[] = {"/p/a b.jpg",       "/p/100%.jpg", "/p/a#1.jpg",      "/p/it's \"q\".jpg",
                                 "/p/<x>&y.jpg",     "/p/café.jpg", "/p/日本.jpg",     "/p/-lead.jpg",
                                 "/p/what?.jpg",     "/a.jpg",      "/p/\xff\xfe.jpg", "/p/%20.jpg",
                                 "/p/plus+semi;.jpg"};
    for (const auto& path : names) {
        const std::string url = toFileUrl(path);
        EXPECT_EQ(url.find_first_of(" \"<>&#?'"), std::string::npos) << url;
        EXPECT_EQ(pathFromFileUrl(url), path) << url;
    }
    EXPECT_EQ(toFileUrl("/p/a b.jpg"), "file:///p/a%20b.jpg");
}

TEST(FileUrl, ReadsWhatOtherWritersProduce) {
    EXPECT_EQ(pathFromFileUrl("file:///p/a%20b.jpg"), "/p/a b.jpg");
    EXPECT_EQ(pathFromFileUrl("FILE:///p/caf%c3%a9.jpg"), "/p/café.jpg");
    EXPECT_EQ(pathFromFileUrl("file://localhost/p/x.jpg"), "/p/x.jpg");
    EXPECT_EQ(pathFromFileUrl("file:///p/100%.jpg"), "/p/100%.jpg");
    EXPECT_EQ(pathFromFileUrl("file:///p/bad%zz"), "/p/bad%zz");
    EXPECT_EQ(pathFromFileUrl("file:///p/end%4"), "/p/end%4");
    EXPECT_EQ(pathFromFileUrl("file:///p/%FF%00x"), std::string("/p/\xff\0x", 6));
    EXPECT_EQ(pathFromFileUrl("file:/p/short.jpg"), "/p/short.jpg");
    EXPECT_EQ(pathFromFileUrl("file://Here/p/x.jpg", "here"), "/p/x.jpg");
    EXPECT_FALSE(pathFromFileUrl("file://elsewhere/p/x.jpg", "here"));
    EXPECT_FALSE(pathFromFileUrl("file://elsewhere/p/x.jpg"));
    EXPECT_FALSE(pathFromFileUrl("http://example/x.jpg"));
    EXPECT_FALSE(pathFromFileUrl("file:"));
}

}  // namespace
}  // namespace gb::platform
