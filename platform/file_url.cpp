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

std::optional<std::string> pathFromFileUrl(const std::string& url) {
    static const std::string scheme = "file://";
    if (url.size() < scheme.size()) return std::nullopt;
    for (std::size_t i = 0; i < scheme.size(); ++i)
        if (static_cast<char>(std::tolower(static_cast<unsigned char>(url[i]))) != scheme[i]) return std::nullopt;
    std::string rest = url.substr(scheme.size());
    static const std::string localhost = "localhost/";
    if (rest.compare(0, localhost.size(), localhost) == 0) rest.erase(0, localhost.size() - 1);
    if (rest.empty() || rest.front() != '/') return std::nullopt;

    return percentDecoded(rest);
}

}  // namespace gb::platform
