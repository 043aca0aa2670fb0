// The Qt services against real files in a temporary folder.

#include "platform/qt/qt_services.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

#include "tests/qt/image_files.h"

namespace gb::qt {
namespace {

std::string pathIn(const QTemporaryDir& dir, const QString& name) { return toStdString(dir.filePath(name)); }

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

}  // namespace
}  // namespace gb::qt
