// SPDX-License-Identifier: GPL-3.0-or-later
// The fast import of the thumbnail page against Qt's own HTML import of the same markup: the same characters,
// links, image formats and layout.

#include "platform/qt/view/linked_images.h"
#include "platform/qt/view/thumbnail_strip.h"

#include <gtest/gtest.h>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextLayout>

#include "app/form1.h"
#include "tests/support/headless.h"

namespace gb::qt {
namespace {

struct Item {
    QString name, href;
    qreal width = 0, height = 0;
    bool operator==(const Item&) const = default;
};

std::vector<Item> itemsOf(const QTextDocument& doc) {
    std::vector<Item> items;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const QTextCharFormat c = f.charFormat();
            const QTextImageFormat img = c.toImageFormat();
            for (int i = 0; i < f.length(); ++i)
                items.push_back(
                    {img.isValid() ? img.name() : f.text().mid(i, 1), c.anchorHref(), img.width(), img.height()});
        }
    }
    return items;
}

// The page the viewer builds for a queue, through the real logic.
QString thumbnailPage(const std::vector<std::string>& names) {
    test::Headless h;
    h.start();
    std::vector<std::string> paths;
    for (const auto& n : names) paths.push_back("/pics/" + n);
    h.fillQueue(paths);
    h.form->BuildThumbsPage();
    return QString::fromStdString(h.form->ThumbsList.text());
}

TEST(LinkedImages, TheThumbnailPageComesOutAsQtsImporterMakesIt) {
    const QString page = thumbnailPage({"a.jpg", "my photo.jpg", "<b>&c \"q\".gif", "café 日本.bmp", "100%#1?.jpeg"});
    QTextDocument fast, qt;
    ASSERT_TRUE(importLinkedImages(fast, page));
    qt.setHtml(page);
    EXPECT_EQ(fast.toPlainText(), qt.toPlainText());
    EXPECT_EQ(itemsOf(fast), itemsOf(qt));
    EXPECT_EQ(fast.metaInformation(QTextDocument::DocumentTitle), qt.metaInformation(QTextDocument::DocumentTitle));
    for (const qreal width : {40.0, 70.0, 300.0}) {
        fast.setTextWidth(width);
        qt.setTextWidth(width);
        EXPECT_EQ(fast.size(), qt.size()) << width;
    }
    ASSERT_EQ(itemsOf(fast).size(), 15u);
    EXPECT_EQ(itemsOf(fast)[4].href, "/pics/<b>&c \"q\".gif");  // escapes decoded, one link per image
}

TEST(LinkedImages, AnyOtherMarkupIsLeftToQtAndTheDocumentUntouched) {
    for (const char* page :
         {"<BODY>text</BODY>", "<br><center><IMG src=\"a\" WIDTH=5 HEIGHT=5></center>", "<IMG src=\"a\">",
          "<IMG src=\"a\" WIDTH=5 HEIGHT=x>", "<A HREF=\"&nbsp;\"><IMG src=\"a\" WIDTH=5 HEIGHT=5>",
          "<BODY bgcolor=red><br>", "<br", "<A><IMG src=\"a\" WIDTH=5 HEIGHT=5>", "<p>"}) {
        QTextDocument doc;
        doc.setPlainText("kept");
        EXPECT_FALSE(importLinkedImages(doc, QString::fromUtf8(page))) << page;
        EXPECT_EQ(doc.toPlainText(), "kept") << page;
    }
}

// The images whose lines start between `top` and `bottom`, with where their lines start.
std::vector<std::pair<qreal, QString>> imagesBetween(QTextDocument& doc, qreal top, qreal bottom) {
    std::vector<std::pair<qreal, QString>> found;
    (void)doc.size();
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const qreal y0 = doc.documentLayout()->blockBoundingRect(block).top();
        QTextLayout* layout = block.layout();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            const qreal y = y0 + line.y();
            if (y < top || y >= bottom) continue;
            QTextCursor cursor(&doc);
            cursor.setPosition(block.position() + line.textStart() + 1);
            const QString name = cursor.charFormat().toImageFormat().name();
            if (!name.isEmpty()) found.emplace_back(y, name);
        }
    }
    return found;
}

// A page of thousands laid out around what is in view: the same height, and every thumbnail where the whole
// page has it, wherever the view is.
TEST(LinkedImages, AStripOfThousandsDrawsEachThumbnailWhereTheWholePageHasIt) {
    std::vector<std::string> names;
    for (int i = 0; i < 1200; ++i) names.push_back("p" + std::to_string(i) + ".jpg");
    const QString html = thumbnailPage(names);
    QTextDocument whole, window;
    ASSERT_TRUE(importLinkedImages(whole, html));
    const auto page = readLinkedImages(html);
    ASSERT_TRUE(page && ThumbnailStrip::fits(*page));
    ThumbnailStrip strip(*page);
    whole.setTextWidth(200);
    window.setTextWidth(200);
    const qreal pitch = whole.size().height() / 1200;
    for (const int shown : {0, 1, 600, 1190}) {
        const qreal top = shown * pitch;
        strip.show(window, top, top + 600);
        EXPECT_EQ(strip.height(), whole.size().height());
        EXPECT_EQ(window.size().height(), whole.size().height());
        const auto expected = imagesBetween(whole, top, top + 600);
        EXPECT_GT(expected.size(), 8u) << shown;
        EXPECT_EQ(imagesBetween(window, top, top + 600), expected) << shown;
    }
    EXPECT_EQ(imagesBetween(window, 0, whole.size().height()).back(),
              imagesBetween(whole, 0, whole.size().height()).back());
    EXPECT_LT(window.toPlainText().size(), 200);  // a window of the page, not the page
}

}  // namespace
}  // namespace gb::qt
