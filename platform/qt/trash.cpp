#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStorageInfo>

#include "platform/qt/logging.h"
#include "platform/qt/qt_services.h"

namespace gb::qt {

namespace {

// The trash folders a file manager looks in for a file of `folder`: the home trash, and the top-directory
// trashes of the file's own disk.
QStringList trashesFor(const QString& folder) {
    QStringList trashes;
    trashes << QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Trash";
    const QString top = QStorageInfo(folder).rootPath();
    if (!top.isEmpty()) {
        const QString uid = QString::number(::getuid());
        trashes << QDir(top).filePath(".Trash/" + uid) << QDir(top).filePath(".Trash-" + uid);
    }
    return trashes;
}

// Path= of a .trashinfo record is URL-escaped: every byte but the unreserved ones and "/".
QByteArray escapedPath(const QByteArray& path) {
    return path.toPercentEncoding("/");
}

// Qt 6.4 writes Path= unescaped, which trash clients cannot read back for names with spaces, % or non-ASCII
// letters; the record is rewritten escaped. A record already escaped is left alone.
bool conformRecord(const QString& infoFile, const QByteArray& rawPath) {
    QFile in(infoFile);
    if (!in.open(QIODevice::ReadOnly)) return false;
    QList<QByteArray> lines = in.readAll().split('\n');
    in.close();
    bool changed = false;
    for (QByteArray& line : lines) {
        if (line == "Path=" + rawPath && escapedPath(rawPath) != rawPath) {
            line = "Path=" + escapedPath(rawPath);
            changed = true;
        }
    }
    if (!changed) return true;
    QSaveFile out(infoFile);
    if (!out.open(QIODevice::WriteOnly)) return false;
    out.write(lines.join('\n'));
    return out.commit();
}

}  // namespace

platform::FileResult QtTrash::moveToTrash(const std::string& path) {
    const QString original = toQString(path);
    const QFileInfo info(original);
    if (!info.exists()) return {false, "The file does not exist (any more)."};
    const QStringList trashes = trashesFor(info.absolutePath());

    QFile file(original);
    if (!file.moveToTrash()) return {false, file.errorString().toStdString()};
    const QString trashed = file.fileName();
    const QFileInfo landed(trashed);
    QString trash;
    for (const QString& t : trashes)
        if (QFileInfo(t + "/files").absoluteFilePath() == landed.absolutePath()) trash = t;
    if (trash.isEmpty() || !landed.exists() || QFileInfo::exists(original)) {
        // Somewhere no file manager looks: put the file back where it was.
        if (landed.exists() && !QFileInfo::exists(original)) QFile::rename(trashed, original);
        qCWarning(lcGlimmerbox) << "moveToTrash put" << original << "in" << trashed;
        return {false, "The trash could not take the file (it was not moved into a trash folder)."};
    }

    // Home-trash records hold the absolute path; top-directory records the path below the disk's top.
    QByteArray recorded = QFile::encodeName(info.absoluteFilePath());
    if (!trash.startsWith(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))) {
        const QString top = QStorageInfo(info.absolutePath()).rootPath();
        recorded = QFile::encodeName(QDir(top).relativeFilePath(info.absoluteFilePath()));
    }
    if (!conformRecord(trash + "/info/" + landed.fileName() + ".trashinfo", recorded))
        qCWarning(lcGlimmerbox) << "could not rewrite the trash record of" << trashed;
    return {true, {}};
}

}  // namespace gb::qt
