// SPDX-License-Identifier: GPL-3.0-or-later
// The part in view of a large picture, decoded ahead of the whole: a 24-megapixel JPEG at 100 % shows its
// first 1280 x 1000 pixels after about 30 ms, where the whole takes about 100 ms and more.

#include <QThreadPool>

#include "platform/qt/image/image_loader.h"
#include "platform/qt/image/sandbox/remote_decoding.h"
#include "platform/qt/image/screen_colours.h"
#include "platform/qt/qt_services.h"

namespace gb::qt {

ImageLoader::Part ImageLoader::part(const QString& path, QSize size, QRect visible) {
    if (!showsInParts({path, size, false}) || errors_.contains(path)) return {};
    const QRect whole(QPoint(0, 0), size);
    visible = visible.intersected(whole);
    if (visible.isEmpty()) return {};
    if (const auto it = parts_.constFind(path);
        it != parts_.constEnd() && it->first == size && it->second.area.contains(visible))
        return it->second;
    if (partsPending_.contains(path)) return {};
    // A picture preloaded and decoding already comes sooner than a part queued behind it.
    if (const auto job = scheduler_.job({path, size, false});
        job && job->priority == Priority::Preload && job->state.load() == Job::Running)
        return {};
    partsPending_.insert(path);
    // A little room around the view, so that a little scrolling finds it decoded too; little, as the first part
    // is what a photo opened at 100 % waits for (the whole follows soon).
    const QRect area =
        visible.adjusted(-visible.width() / 8, -visible.height() / 8, visible.width() / 8, visible.height() / 8)
            .intersected(whole);
    scheduler_.workers().start(
        [this, path, size, area] {
            const QImage image = decodePart(path, area);
            QMetaObject::invokeMethod(
                this,
                [this, path, size, area, image] {
                    partFinished(path, size, {area, image});
                },
                Qt::QueuedConnection);
        },
        static_cast<int>(Priority::Shown) + 1);
    return {};
}

void ImageLoader::partFinished(const QString& path, QSize size, const Part& part) {
    partsPending_.remove(path);
    if (!part.image.isNull() && !pictures_.entries.contains({path, size, false})) {
        // Only the picture on show needs its part.
        for (auto it = parts_.begin(); it != parts_.end();)
            it = it.key() == shown_.path ? std::next(it) : parts_.erase(it);
        parts_.insert(path, {size, part});
        emit ready(path);
    }
    pump();  // what waited for the picture on show
}

}  // namespace gb::qt
