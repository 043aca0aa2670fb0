// Paths that arrive from the desktop rather than the open dialog: several at once from a file manager's
// selection, and files or folders dropped onto the window.

#include <unistd.h>

#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <climits>

#include "app/form1.h"
#include "platform/qt/command_line.h"
#include "platform/qt/qt_services.h"
#include "platform/qt/viewer.h"
#include "tests/qt/image_files.h"
#include "tests/qt/on_screen.h"

namespace gb::qt {
namespace {

// Which of several paths are not opened: those outside the first one's folder, and folders.
TEST(SeveralPaths, OnlyThoseOutsideTheFolderOpenedAreNamed) {
    QTemporaryDir dir;
    const std::string root = QFile::encodeName(QDir(dir.path()).canonicalPath()).toStdString();
    const std::string a = root + "/a", b = root + "/b";
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(a + "/sub")));
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(b)));
    ASSERT_TRUE(QFile::link(QString::fromStdString(a), QString::fromStdString(root + "/link to a")));
    char before[PATH_MAX];
    ASSERT_NE(::getcwd(before, sizeof before), nullptr);
    ASSERT_EQ(::chdir(a.c_str()), 0);
    const struct {
        std::vector<std::string> given;
        std::string opened;
        std::vector<std::string> elsewhere;
    } cases[] = {
        {{a + "/1.jpg"}, a + "/1.jpg", {}},
        {{a + "/1.jpg", a + "/2.jpg", a + "/3.gif"}, a + "/1.jpg", {}},
        {{"1.jpg", "2.jpg", "../a/3.jpg"}, a + "/1.jpg", {}},  // relative to the working folder
        {{a + "/1.jpg", b + "/4.jpg", a + "/2.jpg", b + "/5.jpg"}, a + "/1.jpg", {b + "/4.jpg", b + "/5.jpg"}},
        {{a, a + "/1.jpg"}, a, {}},                                     // a folder first: its own pictures
        {{a + "/1.jpg", a + "/sub"}, a + "/1.jpg", {a + "/sub"}},       // a folder inside is not queued
        {{a + "/1.jpg", root + "/link to a/2.jpg"}, a + "/1.jpg", {}},  // the same folder by a link
        {{b + "/missing/x.jpg", a + "/1.jpg"}, b + "/missing/x.jpg", {a + "/1.jpg"}},  // no folder is opened
    };
    for (const auto& c : cases) {
        const OpenRequest request = openRequest(c.given);
        EXPECT_EQ(request.path, c.opened) << c.given.front();
        EXPECT_EQ(request.elsewhere, c.elsewhere) << c.given.front();
    }
    ASSERT_EQ(::chdir(before), 0);

    EXPECT_EQ(notOpenedText({"/b/4.jpg"}),
              "Glimmerbox shows the pictures of one folder at a time. This was not opened:\n/b/4.jpg");
    std::vector<std::string> many;
    for (int i = 1; i <= 12; ++i) many.push_back("/b/" + std::to_string(i) + ".jpg");
    const std::string text = notOpenedText(many);
    EXPECT_EQ(text.substr(0, text.find('\n')),
              "Glimmerbox shows the pictures of one folder at a time. These 12 were not opened:");
    EXPECT_NE(text.find("\n/b/10.jpg\nand 2 more."), std::string::npos) << text;
    EXPECT_EQ(text.find("/b/11.jpg"), std::string::npos);
}

struct Drops : ::testing::Test, test::OnScreen {
    std::string path(const QString& name) const { return QFile::encodeName(dir.filePath(name)).toStdString(); }

    void SetUp() override {
        ASSERT_TRUE(QDir(dir.path()).mkpath("other"));
        for (const char* name : {"a.jpg", "b.bmp", "other/c.bmp", "other/d.jpg"})
            ASSERT_TRUE(
                test::writePicture(dir.filePath(name), 40, 30, QString(name).endsWith("bmp") ? "BMP" : "JPG", Qt::red));
        // Message boxes are modal: read and closed from a timer, which runs inside their own event loop.
        auto* reader = new QTimer(&viewer->view);
        QObject::connect(reader, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                messages.append(box->text());
                box->accept();
            }
        });
        reader->start(20);
    }

    // A drag that enters the window over `target`, then is dropped there: whether the window took it, and never
    // as a move (the file manager would delete the file).
    // `atDrop` is what the drop itself carries when it differs (a source that has ended serves nothing).
    bool drop(QWidget* target, const QMimeData& data, Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction,
              const QMimeData* atDrop = nullptr) {
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted()) return false;
        EXPECT_NE(enter.dropAction(), Qt::MoveAction);
        QDropEvent dropped(QPointF(at), offered, atDrop ? atDrop : &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
        EXPECT_NE(dropped.dropAction(), Qt::MoveAction);
        return dropped.isAccepted();
    }
    QStringList messages;  // the texts of the message boxes shown, in order
};

TEST_F(Drops, AFileOrFolderOpensAsFromTheCommandLineAndAnythingElseIsRefused) {
    const auto urls = [](std::initializer_list<QString> list) {
        auto* data = new QMimeData;
        QList<QUrl> all;
        for (const QString& u : list) all.append(QUrl(u));
        data->setUrls(all);
        return std::unique_ptr<QMimeData>(data);
    };
    const QString file = QUrl::fromLocalFile(dir.filePath("b.bmp")).toString();
    const QString folder = QUrl::fromLocalFile(dir.filePath("other")).toString();
    auto text = std::make_unique<QMimeData>();
    text->setText(dir.filePath("a.jpg"));
    auto movable = urls({file});  // as file managers offer it: the address also as text
    movable->setText(dir.filePath("b.bmp"));
    // Over the picture area, over a text box, and over the window's own background.
    QWidget* picture = viewer->view.widgetFor(&form.WebBrwI);
    QWidget* textBox = viewer->view.widgetFor(&form.RisoAltro);  // the ratio panel's own ratio
    const struct {
        const char* what;
        std::unique_ptr<QMimeData> data;
        QWidget* over;
        Qt::DropActions offered;
        bool taken;
        std::string shows;  // the picture on show after the drop
        int count;
    } cases[] = {
        {"a file", urls({file}), picture, Qt::CopyAction | Qt::MoveAction, true, path("b.bmp"), 2},
        {"a folder", urls({folder}), textBox, Qt::CopyAction, true, path("other/c.bmp"), 2},
        {"a file, over the window, as a link", urls({file}), &viewer->view, Qt::LinkAction | Qt::MoveAction, true,
         path("b.bmp"), 2},
        {"a file that may only be moved", urls({file}), picture, Qt::MoveAction, false, "", 0},
        {"a file that may only be moved, over a text box", std::move(movable), textBox, Qt::MoveAction, false, "", 0},
        {"a web address", urls({"https://example.org/a.jpg"}), picture, Qt::CopyAction, false, "", 0},
        {"a file with a web address", urls({file, "https://example.org/a.jpg"}), picture, Qt::CopyAction, false, "", 0},
        {"text naming a file", std::move(text), picture, Qt::CopyAction, false, "", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(drop(c.over, *c.data, c.offered), c.taken) << c.what;
        QTest::qWait(50);
        EXPECT_EQ(form.queue.queueCount(), c.count) << c.what;
        if (c.taken) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return form.DoveShow.text() == c.shows; }, 2000)) << c.what;
            form.menuFileAnnulla_Click();
        }
    }
    // A file manager that has ended before the drop is read: what the drag carried as it entered is opened.
    const QMimeData gone;
    EXPECT_TRUE(drop(picture, *urls({file}), Qt::CopyAction, &gone));
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.DoveShow.text() == path("b.bmp"); }, 2000));
    EXPECT_EQ(messages, QStringList());
}

TEST_F(Drops, AreOpenedLikeSeveralPathsAndOnlyOnceNoFolderIsShown) {
    auto data = std::make_unique<QMimeData>();
    data->setUrls({QUrl::fromLocalFile(dir.filePath("a.jpg")), QUrl::fromLocalFile(dir.filePath("other/d.jpg"))});
    QWidget* picture = viewer->view.widgetFor(&form.WebBrwI);
    ASSERT_TRUE(drop(picture, *data));
    ASSERT_TRUE(QTest::qWaitFor([&] { return messages.size() == 1; }, 2000));
    EXPECT_EQ(messages.takeFirst(), "Glimmerbox shows the pictures of one folder at a time. This was not opened:\n" +
                                        QString::fromStdString(path("other/d.jpg")));
    EXPECT_EQ(form.DoveShow.text(), path("a.jpg"));
    EXPECT_EQ(form.queue.queueCount(), 2);
    // While a folder is shown, as with the open dialog: the user is told how to open another.
    data->setUrls({QUrl::fromLocalFile(dir.filePath("other"))});
    ASSERT_TRUE(drop(picture, *data));
    ASSERT_TRUE(QTest::qWaitFor([&] { return messages.size() == 1; }, 2000));
    EXPECT_EQ(
        messages.takeFirst(),
        "To open another folder, choose \"Clear current Image files\" in the File menu first, then drop it again.");
    EXPECT_EQ(form.DoveShow.text(), path("a.jpg"));
    EXPECT_EQ(form.queue.queueCount(), 2);
}

}  // namespace
}  // namespace gb::qt
