// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Decodings on the worker pool, by priority, each one stoppable: one queued that is no longer wanted never starts,
// one running ends with its helper. All decodings together stay within one memory budget, and their
// results come back on the owner's thread.

#include <QHash>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QString>
#include <QThreadPool>

#include <atomic>
#include <functional>
#include <memory>

#include "platform/qt/image/decode_guard.h"
#include "platform/qt/image/image_store.h"
#include "platform/qt/image/thumbnail_cache.h"

namespace gb::qt {

class DecodeScheduler {
public:
    // Thumbnails of a page out of view, pictures ahead, thumbnails in view, the picture on show.
    enum class Priority { Background = 0, Preload = 1, Thumbnail = 2, Shown = 3 };
    struct Job {
        enum State { Queued, Running, Dropped };
        ImageKey key;
        Priority priority;
        std::atomic<int> state{Queued};
        DecodeStop stop;  // set from the owner's thread when the decoding is not wanted any more
    };
    // The decoded picture (null when it failed or was stopped), whether it is an animation, and why it failed.
    using Finished = std::function<void(const std::shared_ptr<Job>&, const QImage&, bool animated, const QString&)>;

    // What all decodings in flight may take together (pictures, thumbnails, parts, animation frames).
    static constexpr qint64 decodingBytes = 512LL * 1024 * 1024;

    DecodeScheduler(QObject* owner, Finished finished);
    // Every decoding is told to stop; returns once none runs.
    ~DecodeScheduler();
    DecodeScheduler(const DecodeScheduler&) = delete;
    DecodeScheduler& operator=(const DecodeScheduler&) = delete;

    void start(const ImageKey& key, Priority priority);
    bool contains(const ImageKey& key) const { return jobs_.contains(key); }
    std::shared_ptr<Job> job(const ImageKey& key) const { return jobs_.value(key); }
    bool anyOf(Priority priority) const;
    // Forgets a finished job (unless another took its key meanwhile).
    void finished(const std::shared_ptr<Job>& job);
    // Takes a queued job back so that it can be started at another priority; false when it is running already.
    bool takeBack(const ImageKey& key);
    // Stops the jobs `which` picks and forgets them.
    void stop(const std::function<bool(const ImageKey&, const Job&)>& which);
    // Drops the jobs of `priority` not started yet whose key is not in `keep`.
    void dropQueued(Priority priority, const QSet<ImageKey>& keep);
    // Every decoding told to stop, and none left running.
    void stopAll();

    // Thumbnails come from, and go to, this cache (none while null).
    void setThumbnailCache(std::shared_ptr<const ThumbnailCache> cache) { thumbnailCache_ = std::move(cache); }

    QThreadPool& workers() { return pool_; }
    MemoryBudget& budget() { return budget_; }
    const MemoryBudget& budget() const { return budget_; }
    int started() const { return started_.load(); }

private:
    QObject* owner_;
    Finished finished_;
    QHash<ImageKey, std::shared_ptr<Job>> jobs_;
    std::atomic<int> started_{0};
    MemoryBudget budget_{decodingBytes};
    std::shared_ptr<const ThumbnailCache> thumbnailCache_;
    bool thumbnailsHoldTheWorkers() const;
    // Declared last, destroyed first: no decoding outlives the budget it draws on.
    QThreadPool pool_;
    QThreadPool urgent_;
};

}  // namespace gb::qt
