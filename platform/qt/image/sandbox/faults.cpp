// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/image/sandbox/faults.h"

#ifdef GLIMMERBOX_DECODER_FAULTS
#include <QImage>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <vector>

#include "platform/qt/image/sandbox/protocol.h"
#endif

namespace gb::sandbox {

#ifdef GLIMMERBOX_DECODER_FAULTS
namespace {
int* volatile nowhere = nullptr;

// A real crash, not one the undefined-behaviour sanitizer would catch and report first.
__attribute__((no_sanitize("undefined"))) void crash() { *nowhere = 1; }
// A Pixels reply for a `side` x `side` picture in `bytes` of memory, sealed or not.
void sendPixels(int socket, int side, std::int64_t bytes, bool sealed, std::uint32_t flags) {
    Reply pixels;
    pixels.kind = ReplyKind::Pixels;
    pixels.width = pixels.height = side;
    pixels.format = QImage::Format_RGB32;
    pixels.bytesPerLine = 4 * side;
    pixels.frames = 1;
    pixels.flags = flags;
    const int fd = makePixelMemory(bytes);
    if (sealed) sealPixelMemory(fd);
    sendReply(socket, pixels, {}, fd);
    ::close(fd);
}
}  // namespace

bool injectFault(QIODevice& file, int socket) {
    const QByteArray head = file.peek(64);
    const QByteArray mark = "GLIMMERBOX-FAULT ";
    if (!head.startsWith(mark)) return false;
    const QByteArray what = head.mid(mark.size()).split('\n').first().trimmed();
    if (what == "crash") crash();
    if (what == "hang")
        for (;;) ::sleep(1);
    if (what == "allocate") {
        std::vector<std::unique_ptr<char[]>> held;
        for (;;) {
            constexpr std::size_t piece = 64 << 20;
            held.emplace_back(new char[piece]);
            std::memset(held.back().get(), 1, piece);
        }
    }
    if (what == "open") ::close(::open("/etc/passwd", O_RDONLY | O_CLOEXEC));
    if (what == "socket") ::close(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (what == "no-files") {
        // A thumbnail's pixels that announce the cache's two PNGs, then a failure in place of the first.
        sendPixels(socket, 10, 400, true, largePngFlag | normalPngFlag);
        sendReply(socket, Reply{}, "the file cannot be handed over");
        return true;
    }
    if (what == "unsealed" || what == "short") {
        // Pixels said to be 100 x 100 in memory that anyone may change, or that holds a tenth of them.
        sendPixels(socket, 100, what == "short" ? 4000 : 40000, what == "short", 0);
        return true;
    }
    return false;
}
#else
bool injectFault(QIODevice&, int) { return false; }
#endif

}  // namespace gb::sandbox
