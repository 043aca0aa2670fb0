#include "platform/qt/command_line.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace gb::qt {

namespace {
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

}  // namespace gb::qt
