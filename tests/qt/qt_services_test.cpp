// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt services against real files in a temporary folder.

#include "platform/qt/qt_services.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

#include "platform/qt/image/sandbox/remote_decoding.h"
#include "queue/open_path.h"
#include "tests/qt/image_files.h"
#include "tests/qt/on_screen.h"

namespace gb::qt {
namespace {

std::string pathIn(const QTemporaryDir& dir, const QString& name) { return toStdString(dir.filePath(name)); }

// Runs `check` as an ordinary user: in this process when it is one, else in a child that drops to nobody, since
// root reads everything. True when the check held.
bool holdsForAnOrdinaryUser(const std::function<bool()>& check) {
    if (::getuid() != 0) return check();
    // No thread of this process may be inside the allocator as it forks: the child's first allocation would wait
    // for ever (seen under the address sanitizer).
    const auto held = test::holdMemoryWatch();
    const pid_t child = ::fork();
    if (child < 0) return false;
    if (child == 0) {
        const bool dropped = ::setgid(65534) == 0 && ::setuid(65534) == 0;
        ::_exit(dropped && check() ? 0 : 1);
    }
    int status = 0;
    return ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(QtFileSystem, ListsVisibleRegularFilesWithoutRegardToCase) {
    QTemporaryDir dir;
    for (const char* name : {"a.jpg", "B.JPG", "c.Jpg", ".hidden.jpg", "d.gif", "e.jpeg"}) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.jpg"));
    QtFileSystem fs;
    auto names = fs.listFiles(toStdString(dir.path()), "*.jpg");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"B.JPG", "a.jpg", "c.Jpg"}));
    EXPECT_EQ(fs.listFiles(toStdString(dir.path()), "*.*").size(), 5u);
    EXPECT_TRUE(fs.isFile(pathIn(dir, "a.jpg")));
    EXPECT_FALSE(fs.isFile(pathIn(dir, "folder.jpg")));
    EXPECT_TRUE(fs.isDirectory(pathIn(dir, "folder.jpg")));
}

// What an ordinary user may not read says so: a locked file, a folder of mode 000 and one of mode 300 (enterable,
// not readable).
TEST(ForAnOrdinaryUser, WhatCannotBeReadSaysPermissionDenied) {
    QTemporaryDir dir;
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    ASSERT_TRUE(test::writePicture(dir.filePath("locked.jpg"), 8, 8, "JPG", Qt::red));
    ASSERT_TRUE(QFile::setPermissions(dir.filePath("locked.jpg"), QFileDevice::Permissions()));
    for (const auto& [name, mode] : {std::pair{"locked", 0000}, std::pair{"dark", 0300}}) {
        ASSERT_TRUE(QDir(dir.path()).mkdir(name));
        ASSERT_EQ(::chmod(QFile::encodeName(dir.filePath(name)).constData(), static_cast<mode_t>(mode)), 0);
    }
    const auto check = [&] {
        QtFileSystem files;
        return QtImageProbe().probe(pathIn(dir, "locked.jpg")).error.find("Permission denied") != std::string::npos &&
               files.folderError(pathIn(dir, "locked")) == "Permission denied" &&
               files.folderError(pathIn(dir, "dark")) == "Permission denied" &&
               files.folderError(toStdString(dir.path())).empty();
    };
    EXPECT_TRUE(holdsForAnOrdinaryUser(check));
    for (const char* name : {"locked", "dark"}) ::chmod(QFile::encodeName(dir.filePath(name)).constData(), 0755);
}

// A folder that can be listed but not entered (mode 600), and a picture in a folder of mode 000: said as the
// system says it, never as a missing file.
TEST(ForAnOrdinaryUser, WhatCannotBeReachedSaysWhichFolderCannotBeEntered) {
    QTemporaryDir dir;
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    for (const auto& [name, mode] : {std::pair{"listed", 0600}, std::pair{"shut", 0000}}) {
        ASSERT_TRUE(QDir(dir.path()).mkdir(name));
        ASSERT_TRUE(test::writePicture(dir.filePath(QString(name) + "/a.bmp"), 8, 8, "BMP", Qt::red));
        ASSERT_EQ(::chmod(QFile::encodeName(dir.filePath(name)).constData(), static_cast<mode_t>(mode)), 0);
    }
    const std::string shut = pathIn(dir, "shut");
    const auto check = [&] {
        QtFileSystem files;
        return files.reachError(pathIn(dir, "listed")) == "Permission denied" &&
               whyNotQueued(files, pathIn(dir, "listed/a.bmp")) ==
                   "the folder " + pathIn(dir, "listed") + " cannot be entered (Permission denied)" &&
               whyNotQueued(files, shut + "/a.bmp") ==
                   "the folder " + shut + " cannot be entered (Permission denied)" &&
               files.reachError(toStdString(dir.path())).empty() &&
               whyNotQueued(files, pathIn(dir, "missing.bmp")) == "there is no such file or folder";
    };
    EXPECT_TRUE(holdsForAnOrdinaryUser(check));
    for (const char* name : {"listed", "shut"}) ::chmod(QFile::encodeName(dir.filePath(name)).constData(), 0755);
}

}  // namespace
}  // namespace gb::qt
