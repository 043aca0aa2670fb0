// SPDX-License-Identifier: GPL-3.0-or-later
// The trash on a temporary XDG_DATA_HOME: files land in the home trash with a record a trash client can
// restore from. No test touches the user's own trash.

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "platform/qt/qt_services.h"
#include "tests/qt/on_screen.h"

namespace gb::qt {
namespace {

struct Trash : ::testing::Test {
    QTemporaryDir root;
    QString home = root.filePath("data"), pictures = root.filePath("my pictures");
    test::DataHome dataHome{home};
    void SetUp() override {
        ASSERT_TRUE(QDir().mkpath(home));
        ASSERT_TRUE(QDir().mkpath(pictures));
    }
    QString make(const QString& name) {
        const QString path = QDir(pictures).filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("picture bytes of " + name.toUtf8());
        return path;
    }
    QByteArray record(const QString& name) {
        QFile f(home + "/Trash/info/" + name + ".trashinfo");
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

const QStringList awkwardNames = {"plain.jpg", "a b.jpg", "100%.jpg", "a#1.jpg", "café.jpg", "日本.gif"};

TEST_F(Trash, FilesLandInTheHomeTrashWithAnEscapedRecord) {
    QtTrash trash;
    for (const QString& name : awkwardNames) {
        const QString path = make(name);
        const auto result = trash.moveToTrash(toStdString(path));
        ASSERT_TRUE(result.ok) << name.toStdString() << " " << result.error;
        EXPECT_FALSE(QFile::exists(path)) << name.toStdString();
        EXPECT_TRUE(QFile::exists(home + "/Trash/files/" + name)) << name.toStdString();
        const QByteArray expected = "Path=" + QFile::encodeName(path).toPercentEncoding("/") + "\n";
        EXPECT_TRUE(record(name).contains(expected)) << record(name).toStdString();
        EXPECT_TRUE(record(name).startsWith("[Trash Info]\n"));
        EXPECT_TRUE(record(name).contains("DeletionDate="));
    }
    // Nothing else in the picture folder: no temporary or record file left beside the pictures.
    EXPECT_TRUE(QDir(pictures).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
}

QProcessEnvironment clientEnvironment(const QString& dataHome) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", dataHome);
    env.insert("LC_ALL", "C.UTF-8");
    env.remove("DBUS_SESSION_BUS_ADDRESS");
    return env;
}

// The record is the one GLib writes for the same file.
TEST_F(Trash, TheRecordMatchesGlibsOwn) {
    QtTrash trash;
    const QString ours = make("café b%.jpg");
    ASSERT_TRUE(trash.moveToTrash(toStdString(ours)).ok);
    const QByteArray ourPath = record("café b%.jpg").split('\n').at(1);

    QTemporaryDir otherHome;
    const QString theirs = make("café b%.jpg");
    QProcess gio;
    gio.setProcessEnvironment(clientEnvironment(otherHome.path()));
    gio.start("dbus-run-session", {"--", "gio", "trash", theirs});
    ASSERT_TRUE(gio.waitForFinished(60000));
    QFile glibRecord(otherHome.filePath("Trash/info/café b%.jpg.trashinfo"));
    ASSERT_TRUE(glibRecord.open(QIODevice::ReadOnly)) << gio.readAllStandardError().toStdString();
    EXPECT_EQ(ourPath, glibRecord.readAll().split('\n').at(1));
}

}  // namespace
}  // namespace gb::qt
