// The fast import of the thumbnail page against Qt's own HTML import of the same markup: the same characters,
// links, image formats and layout.

#include "platform/qt/view/linked_images.h"

#include <gtest/gtest.h>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>

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

}  // namespace
}  // namespace gb::qt
