// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Memory for large decoded pictures, kept for the next picture of the same size instead of going back to the
// system. Touching fresh pages costs more than decoding a JPEG into them (on a virtual machine, 270 ms for the
// 96 MB of a 24-megapixel picture against 95 ms for its decoding), and a walk through a folder of photos of one
// size needs the same few buffers over and over.

#include <QImage>
#include <QSize>

#include <chrono>
#include <mutex>
#include <vector>

namespace gb::qt {

class ImageBuffers {
public:
    // The one set of the process. Images made from it may outlive any other object, so it is never destroyed.
    static ImageBuffers& shared();

    // A writable image whose memory comes from a buffer given back earlier when one of the size is free. The
    // buffer returns when the last copy of the image goes.
    QImage make(QSize size, QImage::Format format);
    // Frees the buffers not used again for `idle`; the timer of the image loader calls this.
    void trim(std::chrono::milliseconds idle);

private:
    struct Buffer {
        void* data = nullptr;
        qsizetype bytes = 0;
        std::chrono::steady_clock::time_point freed;
    };
    static void giveBack(void* info);

    std::mutex mutex_;
    std::vector<Buffer> free_;
    qint64 freeBytes_ = 0;
    // One 24-megapixel picture and change.
    static constexpr qint64 capacity_ = 100LL * 1024 * 1024;
};

}  // namespace gb::qt
