// SPDX-License-Identifier: GPL-3.0-or-later
// The freedesktop.org Trash, written here rather than through QFile::moveToTrash: Qt 6.4 writes the record's
// Path= unescaped (trash clients then restore to the wrong name or not at all), has been seen to report
// success after trashing into a folder no file manager looks in, and cannot reach names that are not UTF-8.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <cerrno>
#include <cstdlib>

#include "platform/qt/qt_services.h"

namespace gb::qt {

namespace {

QByteArray dataHome() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') return xdg;
    const char* home = std::getenv("HOME");
    return QByteArray(home ? home : "") + "/.local/share";
}

dev_t deviceOf(const QByteArray& path) {
    struct stat st {};
    return ::stat(path.constData(), &st) == 0 ? st.st_dev : static_cast<dev_t>(-1);
}

QByteArray parentOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

// The top directory of the disk holding `path`: the highest folder on the same device.
QByteArray topDirectoryOf(const QByteArray& path) {
    QByteArray top = parentOf(path);
    const dev_t device = deviceOf(top);
    while (top != "/") {
        const QByteArray up = parentOf(top);
        if (deviceOf(up) != device) break;
        top = up;
    }
    return top;
}

bool makeFolder(const QByteArray& path) {
    if (::mkdir(path.constData(), 0700) == 0 || errno == EEXIST) return isDirectoryPath(path);
    return false;
}

bool makeFolders(const QByteArray& path) {
    if (isDirectoryPath(path)) return true;
    const QByteArray parent = parentOf(path);
    if (parent != path && !isDirectoryPath(parent) && !makeFolders(parent)) return false;
    return makeFolder(path);
}

struct TrashPlace {
    QByteArray folder;    // holds files/ and info/
    QByteArray recorded;  // what the record's Path= names: absolute, or relative to the top directory
};

// The home trash for files of the home trash's own disk; otherwise the top-directory trash of the file's disk:
// $top/.Trash/$uid when the administrator provided a sticky, non-symlinked .Trash, else $top/.Trash-$uid.
std::optional<TrashPlace> trashFor(const QByteArray& file) {
    const QByteArray home = dataHome();
    makeFolders(home);
    if (deviceOf(home) == deviceOf(parentOf(file))) return TrashPlace{home + "/Trash", file};
    const QByteArray top = topDirectoryOf(file);
    const QByteArray uid = QByteArray::number(::getuid());
    const QByteArray relative = top == "/" ? file.mid(1) : file.mid(top.size() + 1);
    const QByteArray shared = (top == "/" ? QByteArray() : top) + "/.Trash";
    struct stat st {};
    if (::lstat(shared.constData(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX))
        return TrashPlace{shared + "/" + uid, relative};
    return TrashPlace{(top == "/" ? QByteArray() : top) + "/.Trash-" + uid, relative};
}

}  // namespace

platform::FileResult QtTrash::moveToTrash(const std::string& path) {
    const QByteArray file = QByteArray::fromStdString(path);
    struct stat st {};
    if (file.isEmpty() || file[0] != '/' || ::lstat(file.constData(), &st) != 0)
        return {false, "The file does not exist (any more)."};
    const auto place = trashFor(file);
    if (!place || !makeFolders(place->folder + "/files") || !makeFolders(place->folder + "/info"))
        return {false, "There is no trash folder for this file's disk that can be written."};

    const QByteArray name = file.mid(file.lastIndexOf('/') + 1);
    const QByteArray record = "[Trash Info]\nPath=" + place->recorded.toPercentEncoding("/") +
                              "\nDeletionDate=" + QDateTime::currentDateTime().toString(Qt::ISODate).toLatin1() + "\n";
    for (int n = 1; n < 10000; ++n) {
        const QByteArray candidate = n == 1 ? name : name + "." + QByteArray::number(n);
        const QByteArray info = place->folder + "/info/" + candidate + ".trashinfo";
        const QByteArray target = place->folder + "/files/" + candidate;
        // The record is created first and exclusively: it reserves the name.
        const int fd = ::open(info.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return {false, "The trash record could not be written: " + systemError(errno).toStdString() + "."};
        }
        if (pathExists(target)) {
            ::close(fd);
            ::unlink(info.constData());
            continue;
        }
        const bool written = ::write(fd, record.constData(), static_cast<size_t>(record.size())) == record.size();
        const bool closed = ::close(fd) == 0;
        if (!written || !closed) {
            ::unlink(info.constData());
            return {false, "The trash record could not be written."};
        }
        if (::rename(file.constData(), target.constData()) != 0) {
            const int why = errno;
            ::unlink(info.constData());
            return {false, "The file could not be moved into the trash: " + systemError(why).toStdString() + "."};
        }
        return {true, {}};
    }
    return {false, "The trash holds too many files of this name."};
}

}  // namespace gb::qt
