// SPDX-License-Identifier: GPL-3.0-or-later
// File names as they come: spaces, %, #, ?, quotes, <, >, &, leading dashes, non-ASCII letters and bytes that
// are not UTF-8. Each file is queued, shown, reached by a click on its thumbnail, suspended, brought back,
// trashed and erased, always by exactly its own path.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <QApplication>
#include <QBuffer>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include "app/form1.h"
#include "platform/qt/qt_services.h"
#include "platform/qt/view/browser_view.h"
#include "platform/qt/viewer.h"
#include "queue/open_path.h"
#include "suspend/form2.h"
#include "tests/qt/on_screen.h"

namespace gb::qt {
namespace {

const std::vector<std::string> names = {
    "a b.jpg", "100%.jpg", "a#1.jpg",  "what?.jpg",        "it's \"q\".jpg",     "<b>&c.jpg", "-lead.jpg",
    "--x.gif", "café.jpg", "日本.bmp", "\xff\xfe raw.jpg", "caf\xe9 latin1.jpg", "a%20b.jpg", "plain.jpg"};

struct AwkwardNames : ::testing::Test, test::OnScreen {
    std::string folder = toStdString(file("pictures"));

    void SetUp() override {
        ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        for (const auto& name : names) {
            // Written by the bytes of its name, past any decoding.
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            ASSERT_TRUE(picture.save(&buffer, name.substr(name.size() - 3) == "gif" ? "PNG" : "BMP"));
            const std::string path = folder + "/" + name;
            const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
            ASSERT_GE(fd, 0) << name;
            ASSERT_EQ(::write(fd, bytes.constData(), static_cast<size_t>(bytes.size())), bytes.size());
            ::close(fd);
        }
        openFromCommandLine(form, folder + "/plain.jpg");
    }
    void settle(const std::string& path) { ASSERT_TRUE(shows(path)); }
    int indexOf(const std::string& path) {
        for (int i = 0; i < form.DoveShow.listCount(); ++i)
            if (form.DoveShow.listItem(i) == path) return i;
        return -1;
    }
};

TEST_F(AwkwardNames, EveryNameIsQueuedShownAndReachedByItsThumbnail) {
    ASSERT_EQ(form.queue.queueCount(), static_cast<int>(names.size()));
    for (const auto& name : names) EXPECT_GE(indexOf(folder + "/" + name), 0) << name;

    // Shown: each document is its own picture, at its own size.
    for (int i = 0; i < form.queue.queueCount(); ++i) {
        const std::string path = form.DoveShow.listItem(i);
        form.DoveShow.userPick(i);
        settle(path);
        EXPECT_EQ(form.page.naturalWidth(), 40) << path;
        EXPECT_NE(form.HDocBrwI->bodyHTML().find("WIDTH=40 HEIGHT=30"), std::string::npos) << path;
    }

    // The thumbnail page in the real browser: every link, clicked where it is drawn, gives back its path.
    form.menuThumb_Click();
    auto* bar = qobject_cast<BrowserView*>(viewer->view.widgetFor(&form.WebBrwT));
    ASSERT_TRUE(bar);
    QApplication::processEvents();
    int clicked = 0;
    for (QTextBlock block = bar->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isAnchor() || !fragment.charFormat().isImageFormat()) continue;
            const std::string expected = toStdString(fragment.charFormat().anchorHref());
            QTextCursor cursor(bar->document());
            cursor.setPosition(fragment.position());
            bar->ensureCursorVisible();
            bar->setTextCursor(cursor);
            bar->ensureCursorVisible();
            QApplication::processEvents();
            const QRect caret = bar->cursorRect(cursor);
            const QPoint inside(caret.right() + 20, caret.center().y());
            form.TempoSlide.setEnabled(true);
            QTest::mouseClick(bar->viewport(), Qt::LeftButton, {}, inside);
            EXPECT_EQ(form.DoveShow.text(), expected);
            EXPECT_EQ(form.queue.queuePos(), indexOf(expected) + 1) << expected;
            EXPECT_FALSE(form.TempoSlide.enabled());
            ++clicked;
        }
    }
    EXPECT_EQ(clicked, static_cast<int>(names.size()));
}

TEST_F(AwkwardNames, EveryNameIsSuspendedBroughtBackTrashedAndErasedByItsOwnPath) {
    Form2& lists = form.form2();
    // Suspend every one with "a", then bring every one back.
    form.DoveShow.userPick(0);
    for (std::size_t n = 0; n < names.size(); ++n) {
        int a = 65;
        form.window.onKeyDown(a, 0);
    }
    EXPECT_EQ(lists.ListNO.listCount(), static_cast<int>(names.size()));
    EXPECT_EQ(form.queue.queueCount(), 0);
    while (lists.ListNO.listCount() > 0) {
        lists.ListNO.userPick(0);
        lists.ComSi.userClick();
    }
    ASSERT_EQ(form.queue.queueCount(), static_cast<int>(names.size()));
    for (const auto& name : names) EXPECT_GE(indexOf(folder + "/" + name), 0) << name;

    // "z" in trash mode for the first half, in erase mode for the rest; each takes only its own file.
    const std::string trashFiles = toStdString(file("data/Trash/files"));
    form.DoveShow.userPick(0);
    settle(form.DoveShow.text());
    std::size_t taken = 0;
    while (form.queue.queueCount() > 0) {
        const std::string current = form.DoveShow.text();
        const bool erase = taken >= names.size() / 2;
        if (erase && form.menuBin.checked()) form.ToggleRemovalMode();
        if (erase) {
            QTimer::singleShot(50, [] {
                if (QWidget* box = QApplication::activeModalWidget()) QTest::keyClick(box, Qt::Key_Y);
            });
        }
        int z = 90;
        form.window.onKeyDown(z, 0);
        ++taken;
        EXPECT_FALSE(isRegularFile(QByteArray::fromStdString(current))) << current;
        const std::string name = current.substr(current.rfind('/') + 1);
        EXPECT_EQ(isRegularFile(QByteArray::fromStdString(trashFiles + "/" + name)), !erase) << name;
        EXPECT_EQ(viewer->files.listFiles(folder, "*.*").size(), names.size() - taken);
        if (form.queue.queueCount() > 0) settle(form.DoveShow.text());
    }
    EXPECT_EQ(taken, names.size());
    // Nothing but the pictures ever was in the folder: no temporary or record file is left there.
    EXPECT_TRUE(listFolder(QByteArray::fromStdString(folder), "*").empty());
    struct stat st {};
    EXPECT_EQ(::stat((folder + "/.hidden").c_str(), &st), -1);
}

}  // namespace
}  // namespace gb::qt
