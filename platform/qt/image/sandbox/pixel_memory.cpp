// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/image/sandbox/pixel_memory.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "platform/qt/logging.h"

namespace gb::sandbox {

namespace {

using Clock = std::chrono::steady_clock;

// Memory of large pictures let go, kept until it is offered again or has not been for a few seconds.
class Reusable {
public:
    static Reusable& shared() {
        static auto* kept = new Reusable;  // images may be let go until the very end of the process
        return *kept;
    }
    void keep(int fd, std::int64_t bytes) {
        std::lock_guard lock(mutex_);
        expire();
        if (held_ + bytes > capacity) {
            ::close(fd);
            return;
        }
        free_.push_back({fd, bytes, Clock::now()});
        held_ += bytes;
    }
    int take(std::int64_t bytes) {
        std::lock_guard lock(mutex_);
        expire();
        for (auto it = free_.begin(); it != free_.end(); ++it) {
            if (it->bytes != bytes) continue;
            const int fd = it->fd;
            held_ -= it->bytes;
            free_.erase(it);
            return fd;
        }
        return -1;
    }

private:
    struct Kept {
        int fd;
        std::int64_t bytes;
        Clock::time_point since;
    };
    void expire() {
        const auto old = Clock::now() - std::chrono::seconds(keptSeconds);
        std::erase_if(free_, [&](const Kept& k) {
            if (k.since > old) return false;
            ::close(k.fd);
            held_ -= k.bytes;
            return true;
        });
    }
    // One 24-megapixel picture and change, for a few seconds: what a walk reuses.
    static constexpr std::int64_t capacity = 100LL * 1024 * 1024;
    static constexpr int keptSeconds = 5;
    std::mutex mutex_;
    std::vector<Kept> free_;
    std::int64_t held_ = 0;
};

std::atomic<int> reused{0};

struct Mapping {
    void* data;
    std::size_t bytes;
    int fd;  // kept to be offered again; -1 when it is not
    std::int64_t memoryBytes;
};
constexpr unsigned long unmapDelayMs = 300;
constexpr std::size_t largeMapping = std::size_t{4} << 20;
constexpr std::int64_t copiedBytes = std::int64_t{1} << 20;

// Unmapping a large picture takes the kernel some 10 ms for 24 megapixels, holding the lock of the process's
// memory map all along: the last holder of a picture is often the window's thread, which hands the unmapping to
// a thread of its own, and that thread waits a moment first, since a picture is let go as a step begins, whose
// painting would otherwise wait for that lock (measured: 21 ms a step against 18). Its memory is kept at once,
// for the picture ahead that the step asks for.
void letGo(Mapping* mapping) {
    if (mapping->fd >= 0) Reusable::shared().keep(std::exchange(mapping->fd, -1), mapping->memoryBytes);
    if (mapping->bytes < largeMapping) {
        ::munmap(mapping->data, mapping->bytes);
        delete mapping;
        return;
    }
    // A thread of its own, which the process's end may cut short: nothing is left to tidy then.
    std::thread([mapping] {
        std::this_thread::sleep_for(std::chrono::milliseconds(unmapDelayMs));
        ::munmap(mapping->data, mapping->bytes);
        delete mapping;
    }).detach();
}

// The first read of each page of a new mapping costs microseconds in a virtual machine, whatever MAP_POPULATE did
// (measured here: 10 ms to copy the 9 MB of a 24 MP photo that a window shows, against 0.8 ms once read), and
// pictures are read first by the painting on the window's thread. Each page is read here instead, on the thread
// that asked for the decoding (35 ms for a whole 24 MP photo, in a decoding of 250).
void touchPages(const void* data, std::size_t bytes) {
    static const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const auto* bytesAt = static_cast<const volatile unsigned char*>(data);
    unsigned char sum = 0;
    for (std::size_t at = 0; at < bytes; at += page) sum = static_cast<unsigned char>(sum + bytesAt[at]);
    (void)sum;
}

}  // namespace

QImage mapPixels(Received& in, ino_t offered) {
    int fd = std::exchange(in.fd, -1);
    if (fd < 0) return {};
    struct stat st {};
    const bool sealed = ::fstat(fd, &st) == 0 && isSealedPixelMemory(fd);
    const auto layout = sealed ? checkedLayout(in.reply, st.st_size) : std::nullopt;
    if (layout && layout->bytes() < copiedBytes) {
        // A thumbnail is read into memory of the viewer's own: mapping it and unmapping it later costs more than
        // the copy (an unmapping flushes the address translations of every core the viewer's threads run on).
        QImage image(layout->width, layout->height, layout->format);
        bool read = !image.isNull();
        if (read && image.bytesPerLine() == layout->bytesPerLine) {
            const auto bytes = static_cast<std::size_t>(layout->bytes());
            read = ::pread(fd, image.bits(), bytes, 0) == static_cast<ssize_t>(bytes);
        } else {
            // Rows laid out otherwise than ours: each row on its own.
            const auto row = static_cast<std::size_t>(std::min<qsizetype>(image.bytesPerLine(), layout->bytesPerLine));
            for (int y = 0; read && y < layout->height; ++y)
                read = ::pread(fd, image.scanLine(y), row, static_cast<off_t>(y) * layout->bytesPerLine) ==
                       static_cast<ssize_t>(row);
        }
        ::close(fd);
        return read ? image : QImage();
    }
    void* data = MAP_FAILED;
    if (layout) data = ::mmap(nullptr, layout->bytes(), PROT_READ, MAP_SHARED | MAP_POPULATE, fd, 0);
    if (data == MAP_FAILED) {
        ::close(fd);
        qCWarning(lcGlimmerbox) << "a decoder handed over pixels that do not match their description";
        return {};
    }
    if (offered != 0 && st.st_ino == offered) ++reused;
    const auto bytes = static_cast<std::size_t>(layout->bytes());
    touchPages(data, bytes);
    if (bytes < largeMapping || !isReusablePixelMemory(fd)) {
        ::close(fd);
        fd = -1;
    }
    auto* mapping = new Mapping{data, bytes, fd, static_cast<std::int64_t>(st.st_size)};
    return QImage(
        static_cast<const uchar*>(data), layout->width, layout->height, layout->bytesPerLine, layout->format,
        [](void* info) { letGo(static_cast<Mapping*>(info)); }, mapping);
}

int takeReusableMemory(std::int64_t bytes, ino_t* inode) {
    const int fd = Reusable::shared().take(bytes);
    struct stat st {};
    *inode = fd >= 0 && ::fstat(fd, &st) == 0 ? st.st_ino : 0;
    return fd;
}

int reusedPixelMemory() { return reused.load(); }

}  // namespace gb::sandbox
