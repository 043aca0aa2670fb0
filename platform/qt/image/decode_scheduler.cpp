// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/image/decode_scheduler.h"

#include "platform/qt/image/sandbox/remote_decoding.h"
#include "platform/qt/logging.h"

namespace gb::qt {

DecodeScheduler::DecodeScheduler(QObject* owner, Finished finished) : owner_(owner), finished_(std::move(finished)) {
    urgent_.setMaxThreadCount(1);
}

DecodeScheduler::~DecodeScheduler() { stopAll(); }

void DecodeScheduler::stopAll() {
    pool_.clear();
    for (const auto& job : std::as_const(jobs_)) job->stop.unwanted = true;
    pool_.waitForDone();
    urgent_.waitForDone();
}

bool DecodeScheduler::thumbnailsHoldTheWorkers() const {
    if (pool_.activeThreadCount() < pool_.maxThreadCount()) return false;
    bool thumbnails = false;
    for (const auto& job : jobs_) {
        if (job->state.load() != Job::Running) continue;
        if (job->priority == Priority::Shown || job->priority == Priority::Preload) return false;
        thumbnails = true;
    }
    return thumbnails;
}

void DecodeScheduler::start(const ImageKey& key, Priority priority) {
    qCDebug(lcGlimmerbox) << "decode" << key.path << "at" << key.size << "priority" << static_cast<int>(priority);
    auto job = std::make_shared<Job>();
    job->key = key;
    job->priority = priority;
    jobs_.insert(key, job);
    // The picture on show never waits for thumbnails: with every worker on one, it has a worker of its own.
    QThreadPool& pool = priority == Priority::Shown && thumbnailsHoldTheWorkers() ? urgent_ : pool_;
    pool.start(
        [this, job, thumbnailCache = thumbnailCache_] {
            int queued = Job::Queued;
            if (!job->state.compare_exchange_strong(queued, Job::Running)) return;  // dropped before it started
            ++started_;
            int frames = 1;
            QString error;
            const auto& key = job->key;
            const QImage decoded =
                key.thumbnail && thumbnailCache
                    ? decodeThumbnail(*thumbnailCache, key.path, key.size, &error, &frames, &job->stop, &budget_)
                    : decodeImage(key.path, key.size, &error, &frames, &job->stop, &budget_);
            QMetaObject::invokeMethod(
                owner_,
                [this, job, decoded, animated = frames > 1, error] { finished_(job, decoded, animated, error); },
                Qt::QueuedConnection);
        },
        static_cast<int>(priority));
}

bool DecodeScheduler::anyOf(Priority priority) const {
    for (const auto& job : jobs_)
        if (job->priority == priority) return true;
    return false;
}

void DecodeScheduler::finished(const std::shared_ptr<Job>& job) {
    if (jobs_.value(job->key) == job) jobs_.remove(job->key);
}

bool DecodeScheduler::takeBack(const ImageKey& key) {
    const auto job = jobs_.value(key);
    int queued = Job::Queued;
    if (!job || !job->state.compare_exchange_strong(queued, Job::Dropped)) return false;
    jobs_.remove(key);
    return true;
}

void DecodeScheduler::stop(const std::function<bool(const ImageKey&, const Job&)>& which) {
    for (auto it = jobs_.begin(); it != jobs_.end();) {
        if (which(it.key(), *it.value())) {
            it.value()->stop.unwanted = true;
            int queued = Job::Queued;
            it.value()->state.compare_exchange_strong(queued, Job::Dropped);
            it = jobs_.erase(it);
        } else {
            ++it;
        }
    }
}

void DecodeScheduler::dropQueued(Priority priority, const QSet<ImageKey>& keep) {
    for (auto it = jobs_.begin(); it != jobs_.end();) {
        int queued = Job::Queued;
        if (it.value()->priority == priority && !keep.contains(it.key()) &&
            it.value()->state.compare_exchange_strong(queued, Job::Dropped)) {
            it = jobs_.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace gb::qt
