// SPDX-License-Identifier: GPL-3.0-or-later
// Paths that arrive from the desktop rather than the open dialog: several at once from a file manager's
// selection, and files or folders dropped onto the window.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QMimeData>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "app/form1.h"
#include "platform/qt/command_line.h"
#include "platform/qt/qt_services.h"
#include "platform/qt/view/file_drops.h"
#include "platform/qt/viewer.h"
#include "tests/qt/image_files.h"
#include "tests/qt/on_screen.h"

namespace gb::qt {
namespace {

// Which of several paths is opened, and why each of the others is not: outside the folder opened, missing, a
// named pipe, not a picture, hidden, a folder, a zero byte in its name.
TEST(SeveralPaths, EachPathNotOpenedIsNamedWithItsReason) {
    QTemporaryDir dir;
    const std::string root = QFile::encodeName(QDir(dir.path()).canonicalPath()).toStdString();
    const std::string a = root + "/a", b = root + "/b";
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(a + "/sub")));
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(b)));
    ASSERT_TRUE(QFile::link(QString::fromStdString(a), QString::fromStdString(root + "/link to a")));
    for (const char* name : {"/a/1.jpg", "/a/2.jpg", "/a/3.gif", "/a/notes.txt", "/a/.hidden.bmp", "/b/4.jpg"})
        ASSERT_TRUE(test::writeBytes(QString::fromStdString(root + name), "x"));
    ASSERT_EQ(::mkfifo((a + "/pipe.jpg").c_str(), 0644), 0);
    // The working folder may be one a test before has removed: it is come back to as it is, not by its path.
    const int before = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(before, 0);
    ASSERT_EQ(::chdir(a.c_str()), 0);
    const std::string elsewhere =
        "it is not in the folder " + a + ", and Glimmerbox shows the pictures of one folder at a time";
    const std::string missing = "there is no such file or folder";
    const std::string zero = a + std::string("/x\0.jpg", 7);
    const struct {
        std::vector<std::string> given;
        std::string opened;
        std::vector<NotOpened> notOpened;
    } cases[] = {
        {{a + "/1.jpg"}, a + "/1.jpg", {}},
        {{a + "/1.jpg", a + "/2.jpg", a + "/3.gif"}, a + "/1.jpg", {}},
        {{"1.jpg", "2.jpg", "../a/3.gif"}, a + "/1.jpg", {}},  // relative to the working folder
        {{a + "/1.jpg", b + "/4.jpg", a + "/2.jpg", b + "/5.jpg"},
         a + "/1.jpg",
         {{b + "/4.jpg", elsewhere}, {b + "/5.jpg", missing}}},
        {{a, a + "/1.jpg"}, a, {}},  // a folder first: its own pictures
        {{a + "/1.jpg", a + "/sub"}, a + "/1.jpg", {{a + "/sub", "it is a folder"}}},  // never queued
        {{a + "/1.jpg", root + "/link to a/2.jpg"}, a + "/1.jpg", {}},                 // the same folder by a link
        // Beside the one opened: each with the reason its folder's listing leaves it out.
        {{a + "/1.jpg", a + "/missing.jpg", a + "/pipe.jpg", a + "/notes.txt", a + "/.hidden.bmp", a + "/2.jpg", zero},
         a + "/1.jpg",
         {{a + "/missing.jpg", missing},
          {a + "/pipe.jpg", "it is a named pipe (FIFO), not a picture file"},
          {a + "/notes.txt", "it is not a jpg, jpeg, gif or bmp picture"},
          {a + "/.hidden.bmp", "its name starts with a dot: hidden files are not shown"},
          {zero, "its name holds a zero byte, which no file name can"}}},
        // The first that can be opened is; those before it are named.
        {{b + "/missing/x.jpg", a + "/pipe.jpg", a + "/2.jpg", a + "/1.jpg"},
         a + "/2.jpg",
         {{b + "/missing/x.jpg", missing}, {a + "/pipe.jpg", "it is a named pipe (FIFO), not a picture file"}}},
        // None can: the first, which says why itself when opened, and the others with their reasons.
        {{a + "/notes.txt", a + "/missing.jpg"}, a + "/notes.txt", {{a + "/missing.jpg", missing}}},
    };
    QtFileSystem files;
    for (const auto& c : cases) {
        const OpenRequest request = openRequest(c.given, files);
        EXPECT_EQ(request.path, c.opened) << c.given.front();
        EXPECT_EQ(request.notOpened, c.notOpened) << c.given.front();
    }
    ASSERT_EQ(::fchdir(before), 0);
    ::close(before);

    EXPECT_EQ(notOpenedText({{"/b/4.jpg", "there is no such file or folder"}}),
              "This was not opened:\n/b/4.jpg: there is no such file or folder.");
    EXPECT_EQ(notOpenedText({{std::string("/b/x\0.jpg", 9), "why"}, {"/b/y.jpg", "why not"}}),
              "These 2 were not opened:\n/b/x%00.jpg: why.\n/b/y.jpg: why not.");
    std::vector<NotOpened> many;
    for (int i = 1; i <= 12; ++i) many.push_back({"/b/" + std::to_string(i) + ".jpg", "gone"});
    const std::string text = notOpenedText(many);
    EXPECT_EQ(text.substr(0, text.find('\n')), "These 12 were not opened:");
    EXPECT_NE(text.find("\n/b/10.jpg: gone.\nand 2 more."), std::string::npos) << text;
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
    EXPECT_EQ(messages.takeFirst(), "This was not opened:\n" + QString::fromStdString(path("other/d.jpg")) +
                                        ": it is not in the folder " + dir.path() +
                                        ", and Glimmerbox shows the pictures of one folder at a time.");
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

// File addresses are decoded byte for byte, as GLib writes them: a name that is not UTF-8 is the file's own.
TEST(DroppedAddresses, AreDecodedByteForByteAndOnlyLocalFilesAreTaken) {
    const std::string host = QSysInfo::machineHostName().toStdString();
    const struct {
        std::string uri;
        std::optional<std::string> path;
    } cases[] = {
        {"file:///home/me/a%20b.jpg", "/home/me/a b.jpg"},
        {"file:///tmp/new%0Aline%FF.bmp", std::string("/tmp/new\nline\xFF.bmp")},
        {"file:///tmp/caf%C3%A9%3B%23%25.bmp", "/tmp/caf\xC3\xA9;#%.bmp"},
        {"file:///tmp/b.bmp%00.jpg", std::string("/tmp/b.bmp\0.jpg", 15)},  // kept, for the opening to refuse
        {"file:///tmp/100%.bmp", "/tmp/100%.bmp"},                          // a '%' that escapes nothing
        {"file:///tmp/%fF", "/tmp/\xFF"},
        {"file://localhost/tmp/a.bmp", "/tmp/a.bmp"},
        {"FILE:///tmp/a.bmp", "/tmp/a.bmp"},
        {"file:/tmp/a.bmp", "/tmp/a.bmp"},
        {"file://" + host + "/tmp/a.bmp", "/tmp/a.bmp"},
        {"file://another-machine.example/tmp/a.bmp", std::nullopt},
        {"file:tmp/a.bmp", std::nullopt},
        {"https://example.org/a.jpg", std::nullopt},
        {"/tmp/a.bmp", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(FileDrops::localPath(QByteArray::fromStdString(c.uri)), c.path) << c.uri;

    QMimeData list;
    list.setData("text/uri-list", "# a comment\r\nfile:///tmp/a%FF.bmp\r\nfile:///tmp/b.bmp\r\n");
    EXPECT_EQ(FileDrops::localPaths(&list), (std::vector<std::string>{"/tmp/a\xFF.bmp", "/tmp/b.bmp"}));
    list.setData("text/uri-list", "file:///tmp/a.bmp\r\nhttps://example.org/a.jpg\r\n");
    EXPECT_TRUE(FileDrops::localPaths(&list).empty());
}

TEST_F(Drops, AFileWhoseNameIsNotUtf8OpensAndAZeroByteIsRefusedNotCutShort) {
    const QByteArray folder = QUrl::fromLocalFile(dir.path()).toEncoded();
    const std::string odd = QFile::encodeName(dir.path()).toStdString() + "/new\nline\xFF.bmp";
    ASSERT_TRUE(test::writePicture(dir.filePath("odd.bmp"), 40, 30, "BMP", Qt::green));
    ASSERT_EQ(::rename(path("odd.bmp").c_str(), odd.c_str()), 0);  // Qt would write the name as text
    QWidget* picture = viewer->view.widgetFor(&form.WebBrwI);
    QMimeData data;
    data.setData("text/uri-list", folder + "/new%0Aline%FF.bmp\r\n");
    ASSERT_TRUE(drop(picture, data));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.DoveShow.text() == odd; }, 2000)) << form.DoveShow.text();
    EXPECT_EQ(form.queue.queueCount(), 3);
    EXPECT_EQ(messages, QStringList());
    form.menuFileAnnulla_Click();

    // Read up to the zero byte, this would be b.bmp, which exists: nothing is opened, and the user is told.
    data.setData("text/uri-list", folder + "/b.bmp%00.jpg\r\n");
    ASSERT_TRUE(drop(picture, data));
    ASSERT_TRUE(QTest::qWaitFor([&] { return messages.size() == 1; }, 2000));
    EXPECT_EQ(messages.takeFirst(), "Cannot open " + toQString(path("b.bmp")) +
                                        "%00.jpg: its name holds a zero byte, which no file name can.");
    EXPECT_EQ(form.queue.queueCount(), 0);
    ::unlink(odd.c_str());  // a name Qt cannot spell: the temporary folder would keep it
}

}  // namespace
}  // namespace gb::qt
