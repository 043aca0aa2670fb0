// SPDX-License-Identifier: GPL-3.0-or-later
// The thumbnail cache is keyed by the file URI, so it must be GLib's to the byte: one escape written otherwise
// and the desktop and the viewer keep two thumbnails of the same picture, neither using the other's. GLib
// itself is the reference here, for every byte and for names that are not UTF-8.

#include <glib.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/file_url.h"
#include "platform/qt/byte_paths.h"
#include "platform/qt/image/thumbnail_cache.h"

namespace gb::qt {
namespace {

std::string glibUri(const std::string& path) {
    GError* error = nullptr;
    const std::unique_ptr<gchar, decltype(&g_free)> uri(g_filename_to_uri(path.c_str(), nullptr, &error), g_free);
    if (error) {
        ADD_FAILURE() << "GLib refused " << path << ": " << error->message;
        g_error_free(error);
        return {};
    }
    return uri.get();
}

void expectGlibs(const std::string& path, const std::string& what) {
    const std::string expected = glibUri(path);
    EXPECT_EQ(platform::toGlibFileUri(path), expected) << what;
    // The same through the viewer's own path type, which carries bytes that are not UTF-8 as well.
    EXPECT_EQ(ThumbnailCache::uriOf(toQString(path)).toStdString(), expected) << what;
}

TEST(ThumbnailUri, EveryByteIsEscapedAsGlibEscapesIt) {
    for (int byte = 1; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        expectGlibs(std::string("/tmp/a") + c + "b", "byte " + std::to_string(byte));
        expectGlibs(std::string("/") + c, "byte " + std::to_string(byte) + " alone");
    }
}

TEST(ThumbnailUri, AwkwardNamesAreGlibsToo) {
    const std::string names[] = {
        "/home/ann/Pictures/holiday photo.jpg",
        "/tmp/caf\xC3\xA9 \xC3\xA9t\xC3\xA9/#1 %20 ;[x]+~&'.jpg",
        "/tmp/a b&c(1)+d,e;f=g:h@i!j$k'l*m~n.jpg",
        "/tmp/\xE6\x97\xA5\xE6\x9C\xAC/\xF0\x9F\x93\xB7.gif",  // CJK and an emoji
        "/tmp/latin1 \xE9t\xE9.bmp",                           // not UTF-8
        "/tmp/broken \xC3 \xFF\xFE \xED\xA0\x80.jpg",          // a cut sequence, bytes never in UTF-8, a surrogate
        "/tmp/new\nline\ttab\x7F.jpg",
        "//double//slashes/./and/../dots/",
        "/tmp/%41%%%g.jpg",
        "/",
    };
    for (const std::string& name : names) expectGlibs(name, name);
    expectGlibs("/" + std::string(4000, 'x') + ";" + std::string(100, '\xE9'), "a long path");
}

}  // namespace
}  // namespace gb::qt
