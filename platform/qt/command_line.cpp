#include "platform/qt/command_line.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace gb::qt {

namespace {
// Folders are compared by what they are on disk, so that a link to the folder, or a path spelt another way, is the
// same folder.
struct FileId {
    dev_t device = 0;
    ino_t inode = 0;
    bool folder = false;
    bool operator==(const FileId&) const = default;
};

std::optional<FileId> idOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileId{st.st_dev, st.st_ino, S_ISDIR(st.st_mode)};
}

std::string parentOf(const std::string& absolute) {
    const auto slash = absolute.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : absolute.substr(0, slash);
}

std::string resolved(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) return {};
    std::string result = real;
    std::free(real);
    return result;
}
}  // namespace

std::string absolutePath(const std::string& raw, std::string& why) {
    const auto slash = raw.rfind('/');
    const std::string name = slash == std::string::npos ? raw : raw.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") {
        if (std::string whole = resolved(raw); !whole.empty()) return whole;
    } else {
        const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : raw.substr(0, slash);
        if (std::string real = resolved(folder); !real.empty()) return (real == "/" ? "" : real) + "/" + name;
    }
    if (!raw.empty() && raw.front() == '/') return raw;
    std::string cwd(PATH_MAX, '\0');
    while (!::getcwd(cwd.data(), cwd.size())) {
        if (errno != ERANGE) {
            why = std::string("the path of the current folder cannot be read (") + std::strerror(errno) + ")";
            return {};
        }
        cwd.resize(cwd.size() * 2);
    }
    return std::string(cwd.c_str()) + "/" + raw;
}

std::string openablePath(const std::string& raw, std::string& why) {
    std::string path = absolutePath(raw, why);
    // The system opens no path this long: said as it is, not as a missing file.
    if (path.size() >= PATH_MAX) {
        why = "its full path is longer than the system allows (" + std::to_string(path.size()) + " bytes)";
        return {};
    }
    return path;
}

OpenRequest openRequest(const std::vector<std::string>& given) {
    OpenRequest request;
    if (given.empty()) return request;
    request.path = openablePath(given.front(), request.why);
    // The folder opened: the first path itself when it is a folder, else the folder it lies in.
    std::optional<FileId> opened;
    if (!request.path.empty()) {
        opened = idOf(request.path);
        if (!opened || !opened->folder) opened = idOf(parentOf(request.path));
    }
    for (std::size_t i = 1; i < given.size(); ++i) {
        std::string why;
        const std::string path = absolutePath(given[i], why);
        const auto self = idOf(path);
        // A folder inside is not opened either: its pictures are not in the queue.
        const bool queued = opened && !path.empty() && idOf(parentOf(path)) == opened && !(self && self->folder);
        if (!queued) request.elsewhere.push_back(given[i]);
    }
    return request;
}

std::string notOpenedText(const std::vector<std::string>& elsewhere) {
    constexpr std::size_t named = 10;
    std::string text = elsewhere.size() == 1
                           ? "Glimmerbox shows the pictures of one folder at a time. This was not opened:"
                           : "Glimmerbox shows the pictures of one folder at a time. These " +
                                 std::to_string(elsewhere.size()) + " were not opened:";
    for (std::size_t i = 0; i < elsewhere.size() && i < named; ++i) text += "\n" + elsewhere[i];
    if (elsewhere.size() > named) text += "\nand " + std::to_string(elsewhere.size() - named) + " more.";
    return text;
}

}  // namespace gb::qt
