// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/byte_paths.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "platform/name_pattern.h"

namespace gb::qt {

namespace {
// Length of the valid UTF-8 sequence starting at s[i], or 0.
std::size_t utf8Length(const std::string& s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = byte(i);
    std::size_t n = 0;
    std::uint32_t cp = 0;
    if (c < 0x80) return 1;
    if ((c & 0xE0) == 0xC0) {
        n = 2;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        n = 3;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        n = 4;
        cp = c & 0x07;
    } else {
        return 0;
    }
    if (i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are not valid UTF-8.
    if ((n == 2 && cp < 0x80) || (n == 3 && cp < 0x800) || (n == 4 && cp < 0x10000) || cp > 0x10FFFF ||
        (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return n;
}

}  // namespace

QString toQString(const std::string& bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    // Runs of valid UTF-8 are converted whole (a page of thousands of names is one run).
    std::size_t run = 0;
    const auto flush = [&](std::size_t end) {
        if (end > run) text.append(QString::fromUtf8(bytes.data() + run, static_cast<qsizetype>(end - run)));
    };
    for (std::size_t i = 0; i < bytes.size();) {
        // Eight ASCII bytes at a time.
        std::uint64_t eight = 0;
        if (i + 8 <= bytes.size() && (std::memcpy(&eight, bytes.data() + i, 8), (eight & 0x8080808080808080ULL) == 0)) {
            i += 8;
            continue;
        }
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t n = utf8Length(bytes, i);
        if (n == 0) {
            flush(i);
            text.append(QChar(static_cast<char16_t>(0xDC00 + static_cast<unsigned char>(bytes[i]))));
            run = ++i;
        } else {
            i += n;
        }
    }
    flush(bytes.size());
    return text;
}

std::string toStdString(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    qsizetype start = 0;
    const auto flush = [&](qsizetype end) {
        if (end > start) bytes += text.mid(start, end - start).toUtf8().toStdString();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        // A low surrogate after a high one is half of a character beyond the BMP (an emoji), not a byte.
        if (u >= 0xDC80 && u <= 0xDCFF && !(i > 0 && text.at(i - 1).isHighSurrogate())) {
            flush(i);
            bytes += static_cast<char>(u - 0xDC00);
            start = i + 1;
        }
    }
    flush(text.size());
    return bytes;
}

namespace {
std::string kindOf(mode_t mode) {
    if (S_ISFIFO(mode)) return "a named pipe (FIFO)";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISDIR(mode)) return "a folder";
    return "not a regular file";
}
}  // namespace

std::string specialFileKind(const QByteArray& path) {
    struct stat st {};
    if (::stat(path.constData(), &st) != 0 || S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)) return {};
    return kindOf(st.st_mode);
}

std::unique_ptr<QFile> openForReading(const QString& path, QString* error) {
    // Non-blocking, so that a FIFO put in a picture's place does not hold the caller until a writer comes.
    const QByteArray native = nativePath(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        const int why = errno;
        // A socket cannot be opened at all ("No such device or address"): say what it is instead.
        const std::string kind = specialFileKind(native);
        if (error)
            *error = kind.empty() ? systemError(why) : QString::fromStdString("it is " + kind + ", not a picture file");
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (error) *error = QString::fromStdString("it is " + kindOf(st.st_mode) + ", not a picture file");
        ::close(fd);
        return nullptr;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        if (error) *error = file->errorString();
        return nullptr;
    }
    return file;
}

std::string reachError(const QByteArray& path) {
    struct stat st {};
    if (::stat(path.constData(), &st) == 0) {
        // A folder is entered by its "." entry, which needs the right to search it, as opening a file in it does.
        if (!S_ISDIR(st.st_mode) || ::stat((path + "/.").constData(), &st) == 0) return {};
        return systemError(errno).toStdString();
    }
    const int why = errno;
    if (why == ENOENT || why == ENOTDIR) return {};
    if (why == EACCES) {
        // The first folder on the way that cannot be entered: the one to name.
        for (qsizetype slash = path.indexOf('/', 1); slash > 0; slash = path.indexOf('/', slash + 1)) {
            const QByteArray folder = path.left(slash);
            if (::stat((folder + "/.").constData(), &st) != 0 && errno == EACCES)
                return "the folder " + folder.toStdString() + " cannot be entered (" +
                       systemError(EACCES).toStdString() + ")";
        }
    }
    return systemError(why).toStdString();
}

std::optional<std::string> currentFolder() {
    std::string buffer(4096, '\0');
    while (!::getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE) return std::nullopt;
        buffer.resize(buffer.size() * 2);
    }
    return std::string(buffer.c_str());
}

bool pathExists(const QByteArray& path) {
    struct stat st {};
    return ::stat(path.constData(), &st) == 0;
}

bool isRegularFile(const QByteArray& path) {
    struct stat st {};
    return ::stat(path.constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isDirectoryPath(const QByteArray& path) {
    struct stat st {};
    return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::vector<std::string> listFolder(const QByteArray& folder, const std::string& pattern) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.constData());
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (!platform::listedUnder(name, pattern)) continue;
        bool regular = entry->d_type == DT_REG;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK)
            regular = isRegularFile(folder + "/" + QByteArray::fromStdString(name));
        if (regular) names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

QString systemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

}  // namespace gb::qt
