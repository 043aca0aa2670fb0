// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/command_line.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "platform/qt/byte_paths.h"
#include "queue/folder_choice.h"
#include "queue/open_path.h"

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

std::string resolved(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) return {};
    std::string result = real;
    std::free(real);
    return result;
}
}  // namespace

std::string absolutePath(const std::string& raw, std::string& why) {
    // A zero byte ends every path the system reads: one holding it is kept as given, never read as a shorter
    // path, for the caller to refuse.
    if (raw.find('\0') != std::string::npos) return raw;
    const auto slash = raw.rfind('/');
    const std::string name = slash == std::string::npos ? raw : raw.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") {
        if (std::string whole = resolved(raw); !whole.empty()) return whole;
    } else {
        const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : raw.substr(0, slash);
        if (std::string real = resolved(folder); !real.empty()) return (real == "/" ? "" : real) + "/" + name;
    }
    if (!raw.empty() && raw.front() == '/') return raw;
    const auto cwd = currentFolder();
    if (!cwd) {
        why = std::string("the path of the current folder cannot be read (") + std::strerror(errno) + ")";
        return {};
    }
    return *cwd + "/" + raw;
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

namespace {
// Why `path` cannot be opened on its own; empty when it can: a folder that can be entered, or a picture.
std::string whyNotOpenable(platform::FileSystem& files, const std::string& path) {
    if (path.find('\0') == std::string::npos && files.isDirectory(path)) return files.reachError(path);
    return whyNotQueued(files, path);
}
}  // namespace

OpenRequest openRequest(const std::vector<std::string>& given, platform::FileSystem& files) {
    OpenRequest request;
    if (given.empty()) return request;
    std::vector<std::string> paths(given.size()), whys(given.size());
    for (std::size_t i = 0; i < given.size(); ++i) {
        paths[i] = openablePath(given[i], whys[i]);
        if (!paths[i].empty()) whys[i] = whyNotOpenable(files, paths[i]);
    }
    // The first that can be opened; when none can, the first, which then says why itself.
    std::size_t opened = 0;
    while (opened < given.size() && !whys[opened].empty()) ++opened;
    if (opened == given.size()) opened = 0;
    request.path = paths[opened];
    request.why = paths[opened].empty() ? whys[opened] : std::string();
    // The folder opened: that path itself when it is a folder, else the folder it lies in.
    std::string folder = request.path;
    std::optional<FileId> folderId;
    if (!folder.empty()) {
        folderId = idOf(folder);
        if (!folderId || !folderId->folder) folderId = idOf(folder = folderOf(folder));
    }
    for (std::size_t i = 0; i < given.size(); ++i) {
        if (i == opened) continue;
        // A folder is never queued, not even one inside the folder opened.
        std::string why = paths[i].empty() ? whys[i] : whyNotQueued(files, paths[i]);
        if (why.empty()) {
            const bool inside = folderId && idOf(folderOf(paths[i])) == folderId;
            if (!inside)
                why =
                    "it is not in the folder " + folder + ", and Glimmerbox shows the pictures of one folder at a time";
        }
        if (!why.empty()) request.notOpened.push_back({given[i], why});
    }
    return request;
}

std::string notOpenedText(const std::vector<NotOpened>& notOpened) {
    constexpr std::size_t named = 10;
    std::string text = notOpened.size() == 1 ? std::string("This was not opened:")
                                             : "These " + std::to_string(notOpened.size()) + " were not opened:";
    for (std::size_t i = 0; i < notOpened.size() && i < named; ++i)
        text += "\n" + shownPath(notOpened[i].path) + ": " + notOpened[i].why + ".";
    if (notOpened.size() > named) text += "\nand " + std::to_string(notOpened.size() - named) + " more.";
    return text;
}

}  // namespace gb::qt
