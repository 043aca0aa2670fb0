// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/image/sandbox/protocol.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace gb::sandbox {

bool isPixelFormat(std::uint32_t format) {
    switch (static_cast<QImage::Format>(format)) {
        case QImage::Format_RGB32:
        case QImage::Format_ARGB32:
        case QImage::Format_ARGB32_Premultiplied:
        case QImage::Format_Grayscale8: return true;
        default: return false;
    }
}

namespace {
std::optional<Layout> layoutOf(int width, int height, std::uint32_t pixelFormat, int bytesPerLine,
                               std::int64_t memoryBytes) {
    if (!isPixelFormat(pixelFormat)) return std::nullopt;
    // The largest picture shown is within the 512 MB allocation limit: no side beyond 2^16 fits it usefully.
    constexpr int mostSide = 1 << 16;
    if (width <= 0 || height <= 0 || width > mostSide || height > mostSide) return std::nullopt;
    const auto format = static_cast<QImage::Format>(pixelFormat);
    const int depth = format == QImage::Format_Grayscale8 ? 1 : 4;
    const std::int64_t row = static_cast<std::int64_t>(width) * depth;
    if (bytesPerLine < row || bytesPerLine % 4 != 0) return std::nullopt;
    Layout layout{width, height, bytesPerLine, format};
    if (layout.bytes() > memoryBytes) return std::nullopt;
    return layout;
}
}  // namespace

std::optional<Layout> checkedLayout(const Reply& reply, std::int64_t memoryBytes) {
    if (reply.kind != ReplyKind::Pixels) return std::nullopt;
    return layoutOf(reply.width, reply.height, reply.format, reply.bytesPerLine, memoryBytes);
}

std::optional<Layout> checkedLayout(const Request& request, std::int64_t memoryBytes) {
    if (request.kind != RequestKind::EncodePng || request.width > mostEncodedSide || request.height > mostEncodedSide)
        return std::nullopt;
    return layoutOf(request.width, request.height, request.format, request.bytesPerLine, memoryBytes);
}

bool sendPacket(int socket, const void* data, std::size_t size, int fd) {
    iovec part{const_cast<void*>(data), size};
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    if (fd >= 0) {
        message.msg_control = control;
        message.msg_controllen = sizeof(control);
        cmsghdr* header = CMSG_FIRSTHDR(&message);
        header->cmsg_level = SOL_SOCKET;
        header->cmsg_type = SCM_RIGHTS;
        header->cmsg_len = CMSG_LEN(sizeof(int));
        std::memcpy(CMSG_DATA(header), &fd, sizeof(int));
    }
    for (;;) {
        const ssize_t sent = ::sendmsg(socket, &message, MSG_NOSIGNAL);
        if (sent == static_cast<ssize_t>(size)) return true;
        if (sent < 0 && errno == EINTR) continue;
        return false;
    }
}

long receivePacket(int socket, void* data, std::size_t size, int* fd) {
    if (fd) *fd = -1;
    iovec part{data, size};
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    // Room for a few descriptors, so that a peer sending more than one cannot leave any open behind.
    alignas(cmsghdr) char control[CMSG_SPACE(4 * sizeof(int))];
    message.msg_control = control;
    message.msg_controllen = sizeof(control);
    ssize_t got;
    do {
        got = ::recvmsg(socket, &message, MSG_CMSG_CLOEXEC);
    } while (got < 0 && errno == EINTR);
    std::vector<int> fds;
    for (cmsghdr* header = CMSG_FIRSTHDR(&message); header; header = CMSG_NXTHDR(&message, header)) {
        if (header->cmsg_level != SOL_SOCKET || header->cmsg_type != SCM_RIGHTS) continue;
        const std::size_t count = (header->cmsg_len - CMSG_LEN(0)) / sizeof(int);
        for (std::size_t i = 0; i < count; ++i) {
            int one;
            std::memcpy(&one, CMSG_DATA(header) + i * sizeof(int), sizeof(int));
            fds.push_back(one);
        }
    }
    const bool cut = (message.msg_flags & (MSG_TRUNC | MSG_CTRUNC)) != 0;
    if (got > 0 && !cut && fds.size() == 1 && fd) {
        *fd = fds.front();
    } else {
        for (int one : fds) ::close(one);
    }
    if (cut) return -1;
    return got;
}

bool sendReply(int socket, const Reply& reply, const std::string& text, int fd) {
    Reply out = reply;
    const std::size_t length = std::min(text.size(), maxText);
    out.textBytes = static_cast<std::uint32_t>(length);
    std::vector<char> packet(sizeof(Reply) + length);
    std::memcpy(packet.data(), &out, sizeof(Reply));
    if (length) std::memcpy(packet.data() + sizeof(Reply), text.data(), length);
    return sendPacket(socket, packet.data(), packet.size(), fd);
}

std::optional<Received> parseReply(const char* packet, long size, int fd) {
    Received in;
    in.fd = fd;
    const auto refuse = [&]() -> std::optional<Received> {
        if (fd >= 0) ::close(fd);
        return std::nullopt;
    };
    if (size < static_cast<long>(sizeof(Reply))) return refuse();
    std::memcpy(&in.reply, packet, sizeof(Reply));
    const Reply& r = in.reply;
    if (r.magic != protocolMagic || r.textBytes > maxText || static_cast<long>(sizeof(Reply) + r.textBytes) != size)
        return refuse();
    switch (r.kind) {
        case ReplyKind::NeedMemory:
        case ReplyKind::Ready:
            if (r.bytes < 0 || r.addressSpace < 0) return refuse();
            break;
        case ReplyKind::Header:
        case ReplyKind::Failed: break;
        case ReplyKind::Pixels:
            if (fd < 0) return refuse();
            break;
        case ReplyKind::Encoded:
            if (fd < 0 || r.bytes <= 0) return refuse();
            break;
        default: return refuse();
    }
    const bool memory = r.kind == ReplyKind::Pixels || r.kind == ReplyKind::Encoded;
    if (!memory && fd >= 0) return refuse();
    in.text.assign(packet + sizeof(Reply), r.textBytes);
    return in;
}

int makePixelMemory(std::int64_t bytes) {
    const int fd = ::memfd_create("glimmerbox-pixels", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0) return -1;
    if (::ftruncate(fd, bytes) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

namespace {
// What the viewer relies on: memory that keeps its size, so that a mapping of it never faults.
constexpr int sizeSeals = F_SEAL_SHRINK | F_SEAL_GROW;
}  // namespace

bool sealPixelMemory(int fd, bool reusable) {
    return ::fcntl(fd, F_ADD_SEALS, reusable ? sizeSeals : sizeSeals | F_SEAL_WRITE | F_SEAL_SEAL) == 0;
}

bool isSealedPixelMemory(int fd) {
    const int seals = ::fcntl(fd, F_GET_SEALS);
    return seals >= 0 && (seals & sizeSeals) == sizeSeals;
}

bool isReusablePixelMemory(int fd) {
    const int seals = ::fcntl(fd, F_GET_SEALS);
    return seals >= 0 && (seals & sizeSeals) == sizeSeals && (seals & (F_SEAL_WRITE | F_SEAL_SEAL)) == 0;
}

}  // namespace gb::sandbox
