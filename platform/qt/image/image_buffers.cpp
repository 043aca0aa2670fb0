// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/image/image_buffers.h"

#include <cstdlib>

namespace gb::qt {

namespace {
struct Given {
    ImageBuffers* owner;
    void* data;
    qsizetype bytes;
};
}  // namespace

ImageBuffers& ImageBuffers::shared() {
    static auto* buffers = new ImageBuffers;
    return *buffers;
}

QImage ImageBuffers::make(QSize size, QImage::Format format) {
    const int depth = QImage::toPixelFormat(format).bitsPerPixel();
    if (size.isEmpty() || depth == 0) return {};
    const qsizetype bytesPerLine = ((static_cast<qsizetype>(size.width()) * depth + 31) / 32) * 4;
    const qsizetype bytes = bytesPerLine * size.height();
    void* data = nullptr;
    {
        std::lock_guard lock(mutex_);
        for (auto it = free_.begin(); it != free_.end(); ++it) {
            if (it->bytes == bytes) {
                data = it->data;
                freeBytes_ -= bytes;
                free_.erase(it);
                break;
            }
        }
    }
    if (data == nullptr) data = std::malloc(static_cast<std::size_t>(bytes));
    if (data == nullptr) return {};
    auto* given = new Given{this, data, bytes};
    QImage image(static_cast<uchar*>(data), size.width(), size.height(), bytesPerLine, format, &ImageBuffers::giveBack,
                 given);
    if (image.isNull()) giveBack(given);
    return image;
}

void ImageBuffers::giveBack(void* info) {
    auto* given = static_cast<Given*>(info);
    ImageBuffers& self = *given->owner;
    {
        std::lock_guard lock(self.mutex_);
        if (self.freeBytes_ + given->bytes <= self.capacity_) {
            self.free_.push_back({given->data, given->bytes, std::chrono::steady_clock::now()});
            self.freeBytes_ += given->bytes;
            given->data = nullptr;
        }
    }
    std::free(given->data);
    delete given;
}

void ImageBuffers::trim(std::chrono::milliseconds idle) {
    std::vector<void*> gone;
    {
        std::lock_guard lock(mutex_);
        const auto now = std::chrono::steady_clock::now();
        for (auto it = free_.begin(); it != free_.end();) {
            if (now - it->freed >= idle) {
                gone.push_back(it->data);
                freeBytes_ -= it->bytes;
                it = free_.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (void* data : gone) std::free(data);
}

}  // namespace gb::qt
