// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// File URLs as a browser writes them for a local path, and the exact way back.

#include <optional>
#include <string>
#include <string_view>

namespace gb::platform {

// "file://" followed by the path with every byte outside A-Z a-z 0-9 - . _ ~ / percent-encoded, so the URL can
// stand in an attribute value as it is.
std::string toFileUrl(const std::string& path);

// The file URI GLib writes for a path (g_filename_to_uri), byte for byte: it also leaves ! $ & ' ( ) * + , = : @
// as they are (but not ';'). The key of the desktop's shared thumbnail cache.
std::string toGlibFileUri(const std::string& path);

// Every %XX escape undone byte for byte (%FF is the byte 0xFF whatever UTF-8 says, %00 a zero byte); a '%' not
// followed by two hex digits stands for itself.
std::string percentDecoded(std::string_view text);

// The path a file address names, its escapes decoded byte for byte: file:///p, file://localhost/p (RFC 8089),
// file://HOST/p when HOST is `thisHost` (any case), and the short file:/p some programs write. Nothing when the
// text names no file of this machine.
std::optional<std::string> pathFromFileUrl(std::string_view url, std::string_view thisHost = {});

}  // namespace gb::platform
