// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The messages between the viewer and its decoder helpers, over a Unix socket of packets: one message a packet,
// at most one descriptor beside it (the picture's file going out, the pixels' memory coming back). The viewer
// checks all it takes from a helper before it uses it: a helper reads hostile files and may have been taken over.

#include <QImage>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace gb::sandbox {

inline constexpr std::uint32_t protocolMagic = 0x31444247;  // "GBD1"

enum class RequestKind : std::uint32_t {
    Header = 1,           // what the picture in the file is
    Picture = 2,          // the whole picture at width x height
    Part = 3,             // the rectangle (x, y, width, height) of the picture at its own size
    CachedThumbnail = 4,  // a thumbnail-cache PNG no larger than width x height, with its text keys
    Frames = 5,           // the next frame of the animation in the file sent with the first of them
    Grant = 6,            // the memory the helper asked for is its own: go on (with reusable pixel memory of the
                          // picture's size beside it, when the viewer has some)
    EncodePng = 7,        // the pixels in the sealed memory sent with it (width x height, format, bytesPerLine)
                          // as a PNG for the thumbnail cache
    Thumbnail = 8,        // the whole picture at the size its thumbnail is made at, for a drawing of width x height
};

struct Request {
    std::uint32_t magic = protocolMagic;
    RequestKind kind = RequestKind::Header;
    std::int32_t width = 0, height = 0;
    std::int32_t x = 0, y = 0;
    std::int64_t maxPixels = 0;  // frames: the largest screen an animation may draw on
    std::uint32_t format = 0;    // EncodePng: a QImage::Format of pixelFormats
    std::int32_t bytesPerLine = 0;
};

enum class ReplyKind : std::uint32_t {
    NeedMemory = 1,  // bytes: what the decoding will take at its peak; answered by a Grant
    Header = 2,
    Pixels = 3,   // with a sealed memory descriptor holding height x bytesPerLine bytes
    Failed = 4,   // text: why, in a user's words
    Ready = 5,    // first of all, once confined: bytes and addressSpace say what the helper takes by itself
    Encoded = 6,  // with a sealed memory descriptor whose first `bytes` bytes are the file asked for
};

enum ReplyFlag : std::uint32_t {
    partialFlag = 1,  // parts of the picture can be decoded on their own
    lastFrameFlag = 2,
    // Pixels of a Thumbnail request: an Encoded reply follows with the cache's large PNG, then one with the
    // normal PNG.
    largePngFlag = 4,
    normalPngFlag = 8,
};

struct Reply {
    std::uint32_t magic = protocolMagic;
    ReplyKind kind = ReplyKind::Failed;
    std::int64_t bytes = 0;
    std::int32_t width = 0, height = 0;  // Header: the upright size; Pixels: the image's
    std::int32_t canvasWidth = 0, canvasHeight = 0;
    std::uint32_t flags = 0;
    std::int32_t frames = 0;  // Header and Pixels: frames in the file (1 for a still picture)
    std::int32_t delayMs = 0;
    std::uint32_t format = 0;  // Pixels: a QImage::Format of pixelFormats
    std::int32_t bytesPerLine = 0;
    std::uint32_t textBytes = 0;  // Failed and Header: the reason; CachedThumbnail: key NUL value NUL ...
    std::int64_t addressSpace = 0;
};

// The longest text a reply carries, and so the largest packet.
inline constexpr std::size_t maxText = 16 * 1024;
inline constexpr std::size_t maxPacket = sizeof(Reply) + maxText;

// The pixel formats that cross: those the decoders give after conversion, none with a colour table.
bool isPixelFormat(std::uint32_t format);
// The image layout a Pixels reply describes, checked against the memory it comes in: a null size when it does
// not fit or makes no sense.
struct Layout {
    int width = 0, height = 0, bytesPerLine = 0;
    QImage::Format format = QImage::Format_Invalid;
    std::int64_t bytes() const { return static_cast<std::int64_t>(bytesPerLine) * height; }
};
std::optional<Layout> checkedLayout(const Reply& reply, std::int64_t memoryBytes);
std::optional<Layout> checkedLayout(const Request& request, std::int64_t memoryBytes);
// The largest side of a picture handed to a helper to be written as a PNG: the cache's largest thumbnails.
inline constexpr int mostEncodedSide = 1024;

// A packet out, with `fd` beside it when it is not -1. False when the socket is gone.
bool sendPacket(int socket, const void* data, std::size_t size, int fd = -1);
// A packet in: its size (0 at the end of the stream, -1 on error), its descriptor in `fd` (-1 when none; any
// more than one are closed).
long receivePacket(int socket, void* data, std::size_t size, int* fd);

// A reply and its text as one packet, and back; nothing when the packet is not a well-formed reply.
bool sendReply(int socket, const Reply& reply, const std::string& text = {}, int fd = -1);
struct Received {
    Reply reply;
    std::string text;
    int fd = -1;
};
std::optional<Received> parseReply(const char* packet, long size, int fd);

// Memory for pixels that the viewer can map: sealed, it keeps its size, so that a mapping never faults. Most is
// sealed against writing too; the memory of a large picture is not, so that the viewer can hand it to a helper
// again for the next picture of its size (touching fresh memory costs more than decoding a JPEG into it).
int makePixelMemory(std::int64_t bytes);
bool sealPixelMemory(int fd, bool reusable = false);
bool isSealedPixelMemory(int fd);
bool isReusablePixelMemory(int fd);

}  // namespace gb::sandbox
