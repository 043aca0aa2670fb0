// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the decoder helper's entry point and the request protocol. The input is a request packet
// followed by the picture file it is about; the helper's side answers it over a socket pair as it does for the
// viewer (memory granted), and every reply is read back through the viewer's own checks. Nothing may crash,
// hang or allocate past the limit (run with -malloc_limit_mb).

#include <sys/mman.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/qt/image/decoder.h"
#include "platform/qt/image/sandbox/decoder_service.h"
#include "platform/qt/image/sandbox/protocol.h"
#include "tests/fuzz/qt_fuzz_app.h"

using namespace gb::sandbox;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool started = (gb::fuzz::startQt(), true);
    (void)started;

    // Replies are parsed as the viewer parses them, whatever the bytes.
    std::vector<char> packet(data, data + size);
    if (auto parsed = parseReply(packet.data(), static_cast<long>(packet.size()), -1))
        (void)checkedLayout(parsed->reply, 1 << 20);

    if (size < sizeof(Request)) return 0;
    Request request;
    std::memcpy(&request, data, sizeof(Request));
    request.magic = protocolMagic;
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair) != 0) return 0;
    const int file = makePixelMemory(static_cast<std::int64_t>(size - sizeof(Request)));
    if (file >= 0 && size > sizeof(Request)) {
        void* bytes = ::mmap(nullptr, size - sizeof(Request), PROT_WRITE, MAP_SHARED, file, 0);
        if (bytes != MAP_FAILED) {
            std::memcpy(bytes, data + sizeof(Request), size - sizeof(Request));
            ::munmap(bytes, size - sizeof(Request));
        }
        sealPixelMemory(file);  // as the viewer hands over pixels to be written
    }
    sendPacket(pair[0], &request, sizeof(request), file);
    // A second request for animations (the next frame), and a grant for whatever memory is asked.
    Request next = request;
    next.kind = RequestKind::Frames;
    Request grant;
    grant.kind = RequestKind::Grant;
    sendPacket(pair[0], &grant, sizeof(grant));
    sendPacket(pair[0], &next, sizeof(next));
    sendPacket(pair[0], &grant, sizeof(grant));
    ::shutdown(pair[0], SHUT_WR);
    if (file >= 0) ::close(file);
    serve(pair[1]);
    ::close(pair[1]);
    std::vector<char> reply(maxPacket);
    for (;;) {
        int fd = -1;
        const long got = receivePacket(pair[0], reply.data(), reply.size(), &fd);
        if (got <= 0) break;
        auto parsed = parseReply(reply.data(), got, fd);
        if (!parsed || parsed->fd < 0) continue;
        if (!isSealedPixelMemory(parsed->fd)) std::abort();  // the helper hands over only sealed memory
        ::close(parsed->fd);
    }
    ::close(pair[0]);
    return 0;
}
