// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file_url.h"

#include <cctype>
#include <cstring>

namespace gb::platform {

namespace {
constexpr char hexDigits[] = "0123456789ABCDEF";

bool keepsAsIs(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~' || c == '/';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
}  // namespace

namespace {
template <class Kept>
std::string escaped(const std::string& path, Kept kept) {
    std::string url = "file://";
    if (path.empty() || path.front() != '/') url += '/';
    for (const char ch : path) {
        const auto c = static_cast<unsigned char>(ch);
        if (kept(c)) {
            url += ch;
        } else {
            url += '%';
            url += hexDigits[c >> 4];
            url += hexDigits[c & 0xF];
        }
    }
    return url;
}
}  // namespace

std::string toFileUrl(const std::string& path) { return escaped(path, keepsAsIs); }

std::string toGlibFileUri(const std::string& path) {
    // GLib's table for paths: the sub-delimiters but ';', and ':' '@'.
    return escaped(
        path, [](unsigned char c) { return keepsAsIs(c) || (c != 0 && std::strchr("!$&'()*+,=:@", c) != nullptr); });
}

std::string percentDecoded(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int hi = hexValue(text[i + 1]);
            const int lo = hexValue(text[i + 2]);
            if (hi >= 0 && lo >= 0) {
                decoded += static_cast<char>(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        decoded += text[i];
    }
    return decoded;
}

std::optional<std::string> pathFromFileUrl(std::string_view url, std::string_view thisHost) {
    const auto lower = [](std::string_view text) {
        std::string out(text);
        for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return out;
    };
    if (lower(url.substr(0, 5)) != "file:") return std::nullopt;
    std::string_view rest = url.substr(5);
    if (rest.substr(0, 2) == "//") {
        const std::size_t slash = rest.find('/', 2);
        if (slash == std::string_view::npos) return std::nullopt;
        const std::string host = lower(rest.substr(2, slash - 2));
        if (!host.empty() && host != "localhost" && (thisHost.empty() || host != lower(thisHost)))
            return std::nullopt;  // a file of another machine
        rest = rest.substr(slash);
    }
    if (rest.empty() || rest.front() != '/') return std::nullopt;
    return percentDecoded(rest);
}

}  // namespace gb::platform
