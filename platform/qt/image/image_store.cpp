// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/image/image_store.h"

namespace gb::qt {

const QImage* ImageStore::find(const ImageKey& key) {
    const auto it = entries.find(key);
    if (it == entries.end()) return nullptr;
    it->used = ++clock;
    return &it->image;
}

void ImageStore::insert(const ImageKey& key, const QImage& image) {
    if (const auto it = entries.constFind(key); it != entries.constEnd()) bytes -= it->image.sizeInBytes();
    entries.insert(key, {image, ++clock});
    bytes += image.sizeInBytes();
}

bool ImageStore::makeRoom(qint64 extra, const QSet<ImageKey>& keep) {
    while (true) {
        auto oldest = entries.end();
        int others = 0;
        for (auto it = entries.begin(); it != entries.end(); ++it) {
            if (keep.contains(it.key())) continue;
            ++others;
            if (oldest == entries.end() || it->used < oldest->used) oldest = it;
        }
        if (bytes + extra <= limit && others <= othersKept) return true;
        if (oldest == entries.end()) return false;
        bytes -= oldest->image.sizeInBytes();
        entries.erase(oldest);
    }
}

void ImageStore::removeIf(const std::function<bool(const ImageKey&)>& unwanted) {
    for (auto it = entries.begin(); it != entries.end();) {
        if (unwanted(it.key())) {
            bytes -= it->image.sizeInBytes();
            it = entries.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace gb::qt
