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
        Reply pixels;
        pixels.kind = ReplyKind::Pixels;
        pixels.width = pixels.height = 10;
        pixels.format = QImage::Format_RGB32;
        pixels.bytesPerLine = 40;
        pixels.frames = 1;
        pixels.flags = largePngFlag | normalPngFlag;
        const int fd = makePixelMemory(400);
        sealPixelMemory(fd);
        sendReply(socket, pixels, {}, fd);
        ::close(fd);
        sendReply(socket, Reply{}, "the file cannot be handed over");
        return true;
    }
    if (what == "unsealed" || what == "short") {
        // Pixels said to be 100 x 100 in memory that anyone may change, or that holds a tenth of them.
        Reply lie;
        lie.kind = ReplyKind::Pixels;
        lie.width = lie.height = 100;
        lie.format = QImage::Format_RGB32;
        lie.bytesPerLine = 400;
        lie.frames = 1;
        const int fd = makePixelMemory(what == "short" ? 4000 : 40000);
        if (what == "short") sealPixelMemory(fd);
        sendReply(socket, lie, {}, fd);
        ::close(fd);
        return true;
    }
    return false;
}
#else
bool injectFault(QIODevice&, int) { return false; }
#endif

}  // namespace gb::sandbox
