// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/image/image_loader.h"
#include "platform/qt/image/sandbox/remote_decoding.h"

#include <QGuiApplication>
#include <QTimer>

#include <QThreadPool>
#include <algorithm>

#include "platform/qt/image/screen_colours.h"
#include "platform/qt/logging.h"
#include "platform/qt/qt_services.h"

namespace gb::qt {

ImageLoader::ImageLoader(QObject* parent) : QObject(parent) {
    if (qGuiApp) setDevicePixelRatio(qGuiApp->devicePixelRatio());
    scheduler_.setThumbnailCache(std::make_shared<ThumbnailCache>());
    wholeLater_.setSingleShot(true);
    wholeLater_.setInterval(settleMs);
    connect(&wholeLater_, &QTimer::timeout, this, [this] {
        const Key& key = wholeLaterKey_;
        if (key == shown_ && !pictures_.entries.contains(key) && !scheduler_.contains(key) &&
            !errors_.contains(key.path))
            start(key, Priority::Shown);
    });
    drawnLate_.setSingleShot(true);
    drawnLate_.setInterval(drawnLateMs);
    connect(&drawnLate_, &QTimer::timeout, this, [this] {
        if (!wishes_.isEmpty()) shownDrawn(wishes_.first().path);
    });
    settle_.setSingleShot(true);
    settle_.setInterval(settleMs);
    connect(&settle_, &QTimer::timeout, this, [this] {
        settled_ = true;
        pump();
    });
}

ImageLoader::~ImageLoader() {
    headersStop_.unwanted = true;
    headerWorkers_.waitForDone();
    for (Animation* movie : std::as_const(movies_)) movie->finish();
    // Animations give their memory back to the budget as they go: they go now, once no worker holds one, while
    // the budget exists (as children they would go after it).
    scheduler_.stopAll();
    qDeleteAll(findChildren<Animation*>(Qt::FindDirectChildrenOnly));
}

void ImageLoader::revalidate(const QString& path) {
    const FileIdentity now = identityOf(nativePath(path));
    const auto it = identities_.constFind(path);
    if (it == identities_.constEnd()) {
        identities_.insert(path, now);
    } else if (!(*it == now)) {
        qCDebug(lcGlimmerbox) << "changed on disk:" << path;
        forget(path);
        identities_.insert(path, now);
    }
}

void ImageLoader::forget(const QString& path) {
    headers_.remove(path);
    // A header being read is of the file as it was: it is read again for those waiting for it.
    if (const auto stale = headersReading_.take(path); stale && !stale->waiting.isEmpty())
        readHeaderLater(path)->waiting = stale->waiting;
    errors_.remove(path);
    parts_.remove(path);
    animatedPaths_.remove(path);
    const auto samePath = [&](const Key& key) { return key.path == path; };
    pictures_.removeIf(samePath);
    thumbnails_.removeIf(samePath);
    stopMovie(path);
    scheduler_.stop([&](const Key& key, const Job&) { return key.path == path; });
}

const Header& ImageLoader::header(const QString& path) {
    static const Header unknown;
    const auto it = headers_.constFind(path);
    if (it != headers_.constEnd()) return *it;
    readHeaderLater(path);
    return unknown;
}

std::shared_ptr<ImageLoader::HeaderReading> ImageLoader::readHeaderLater(const QString& path) {
    if (const auto reading = headersReading_.value(path)) return reading;
    if (!identities_.contains(path)) identities_.insert(path, identityOf(nativePath(path)));
    auto reading = std::make_shared<HeaderReading>();
    headersReading_.insert(path, reading);
    headerWorkers_.start([this, path, reading] {
        const Header read = readHeader(path, &headersStop_);
        {
            std::lock_guard lock(reading->mutex);
            reading->header = read;
        }
        QMetaObject::invokeMethod(
            this,
            [this, path, reading, read] {
                // Unless probe() took it already.
                if (headersReading_.value(path) == reading) headerRead(path, read, true);
            },
            Qt::QueuedConnection);
    });
    return reading;
}

void ImageLoader::headerRead(const QString& path, const Header& read, bool announce) {
    const auto reading = headersReading_.take(path);
    headers_.insert(path, read);
    if (!announce) return;
    for (const auto& done : std::as_const(reading->waiting)) done(read.info());
    // Asked for by probe() alone, which said "not known yet": the asker may ask again.
    if (reading->waiting.isEmpty()) emit headerKnown(path);
    emit ready(path);
}

platform::ImageInfo ImageLoader::probe(const std::string& path) {
    const QString file = toQString(path);
    revalidate(file);
    if (const auto it = headers_.constFind(file); it != headers_.constEnd()) return it->info();
    const auto reading = readHeaderLater(file);
    // Read already, though not yet announced: taken now.
    std::unique_lock lock(reading->mutex);
    if (!reading->header) return {};
    const Header read = *reading->header;
    lock.unlock();
    // Those waiting for it hear of it as they would have.
    headerRead(file, read, !reading->waiting.isEmpty());
    return read.info();
}

void ImageLoader::probeLater(const std::string& path, std::function<void(const platform::ImageInfo&)> done) {
    const QString file = toQString(path);
    revalidate(file);
    if (const auto it = headers_.constFind(file); it != headers_.constEnd()) {
        done(it->info());
        return;
    }
    readHeaderLater(file)->waiting.append(std::move(done));
}

ImageLoader::Key ImageLoader::keyFor(const QString& path, QSize drawn, bool thumbnail) {
    const QSize device = toDevice(drawn);
    const QSize natural = thumbnail ? QSize() : header(path).size;
    if (!natural.isValid() || natural.isEmpty()) return {path, device, thumbnail};
    return {path, device.boundedTo(natural), thumbnail};
}

bool ImageLoader::showsInParts(const Key& key) {
    const Header& h = header(key.path);
    return h.partial && key.size == h.size && static_cast<qint64>(key.size.width()) * key.size.height() >= largePixels;
}

void ImageLoader::startShown(const Key& key) {
    if (!showsInParts(key)) {
        start(key, Priority::Shown);
        return;
    }
    // A large photo at 100 %: the part in view comes first (part()); the whole follows once the picture has
    // been on show a moment, unless the user has moved on (full screen, the next picture) by then.
    if (wholeLater_.isActive() && wholeLaterKey_ == key) return;
    wholeLaterKey_ = key;
    wholeLater_.start();
}

QImage ImageLoader::image(const QString& path, QSize size, bool thumbnail) {
    if (size.isEmpty()) return {};
    if (Animation* movie = movies_.value(path)) {
        moviesDrawn_.insert(path);
        const QImage frame = movie->frame();
        if (!frame.isNull()) return frame;
    }
    // A picture is decoded at the size its header allows: until the header is known, nothing is (ready() tells
    // when it is).
    if (!thumbnail && !headers_.contains(path)) {
        readHeaderLater(path);
        return {};
    }
    const Key key = keyFor(path, size, thumbnail);
    if (!thumbnail && !(shown_ == key)) {
        shown_ = key;
        stopUnwanted();
    }
    if (const QImage* found = storeFor(key).find(key)) {
        if (animatedPaths_.contains(path)) animate(path);
        return *found;
    }
    if (errors_.contains(path)) return {};
    // Thumbnails wait behind the picture the user is looking at.
    const Priority priority = thumbnail ? Priority::Thumbnail : Priority::Shown;
    if (const auto job = scheduler_.job(key)) {
        // Asked for ahead and needed now: it moves to the front unless it is decoding already.
        if (job->priority >= priority || !scheduler_.takeBack(key)) return {};
    }
    // Drawn enlarged, the picture has no parts to show first.
    if (priority == Priority::Shown && toDevice(size) == key.size) startShown(key);
    else start(key, priority);
    return {};
}

bool ImageLoader::holds(const QString& path, QSize size, bool thumbnail) {
    const Key key = keyFor(path, size, thumbnail);
    return storeFor(key).entries.contains(key);
}

void ImageLoader::start(const Key& key, Priority priority) {
    // The picture on show does not wait for the workers or the memory that decodings ahead hold: they stop,
    // and start again once it is there.
    if (priority == Priority::Shown)
        scheduler_.stop([](const Key&, const Job& job) {
            return job.priority == Priority::Preload && job.state.load() == Job::Running;
        });
    scheduler_.start(key, priority);
}

void ImageLoader::preload(const std::vector<platform::PreloadRequest>& wanted) {
    QList<Key> wishes;
    QSet<Key> keep;
    qint64 budget = 0, missing = 0;
    for (const auto& request : wanted) {
        if (request.width <= 0 || request.height <= 0) continue;
        const QString path = toQString(request.path);
        const Key key = keyFor(path, QSize(request.width, request.height), false);
        const qint64 bytes = 4LL * key.size.width() * key.size.height();
        if (!wishes.isEmpty() && budget + bytes > pictures_.limit) break;
        budget += bytes;
        wishes.append(key);
        keep.insert(key);
        if (!storeFor(key).entries.contains(key)) missing += bytes;
    }
    if (!preloading_ && !wishes.isEmpty()) wishes = {wishes.first()};
    // Preloads wished before and not any more are dropped unless they are decoding already.
    scheduler_.dropQueued(Priority::Preload, keep);
    // A step onto a picture asked for ahead continues a walk: its neighbours are needed soon, and so they are
    // after opening and when the picture on show changes size (full screen entered or left, another fit or
    // ratio). A picture jumped to, or reached while the user holds a key, is looked at a moment first: the user
    // may move on, and decodes no one sees would only hold up the next picture.
    const bool walking = !wishes.isEmpty() && wishes_.indexOf(wishes.first()) > 0;
    const bool resized = !wishes.isEmpty() && !wishes_.isEmpty() && wishes.first().path == wishes_.first().path;
    settled_ = walking || resized || wishes_.isEmpty();
    settle_.stop();
    wishes_ = wishes;
    stopUnwanted();
    // Room for what is coming is made before it is decoded, so that memory stays within the bound. The picture
    // on show stays until its successor is drawn, unless it is the same picture at a size no longer drawn.
    if (wishes_.isEmpty() || shown_.path != wishes_.first().path) keep.insert(shown_);
    // A wanted picture held at another size (before full screen was entered or left) is not needed any more.
    QSet<QString> wantedPaths;
    for (const Key& key : std::as_const(wishes_)) wantedPaths.insert(key.path);
    pictures_.removeIf([&](const Key& key) { return wantedPaths.contains(key.path) && !keep.contains(key); });
    pictures_.makeRoom(missing, keep);
    pump();
}

void ImageLoader::stopUnwanted() {
    scheduler_.stop([this](const Key& key, const Job& job) {
        const bool picture = job.priority == Priority::Shown || job.priority == Priority::Preload;
        // A picture left while it was decoding for the screen is stopped even when it is wished for ahead: as a
        // neighbour it is decoded again later, after the picture now on show (it may be a costly one).
        const bool unwanted = !wishes_.contains(key) || job.priority == Priority::Shown;
        return picture && job.state.load() == Job::Running && !(key == shown_) && unwanted;
    });
}

void ImageLoader::fetchThumbnails(const QList<QPair<QString, QSize>>& thumbnails) {
    // No more than the thumbnail store holds: beyond that the first ones would make room for the last.
    const QSize largest = toDevice({thumbnailMost, thumbnailMost});
    const qsizetype most =
        std::min<qsizetype>(thumbnails.size(), thumbnails_.limit / (4LL * largest.width() * largest.height()));
    QSet<Key> wanted;
    background_.clear();
    for (qsizetype i = 0; i < most; ++i) {
        const Key key = keyFor(thumbnails[i].first, thumbnails[i].second, true);
        if (wanted.contains(key)) continue;
        wanted.insert(key);
        background_.append(key);
    }
    scheduler_.dropQueued(Priority::Background, wanted);
    backgroundNext_ = 0;
    if (!background_.isEmpty()) QTimer::singleShot(0, this, &ImageLoader::queueBackground);
}

void ImageLoader::queueBackground() {
    // A slice at a time, so that a page of thousands never holds up the window.
    constexpr qsizetype slice = 100;
    const qsizetype end = std::min(background_.size(), backgroundNext_ + slice);
    for (; backgroundNext_ < end; ++backgroundNext_) {
        const Key& key = background_[backgroundNext_];
        if (thumbnails_.entries.contains(key) || scheduler_.contains(key) || errors_.contains(key.path)) continue;
        start(key, Priority::Background);
    }
    if (backgroundNext_ < background_.size()) QTimer::singleShot(0, this, &ImageLoader::queueBackground);
}

void ImageLoader::shownDrawn(const QString& path) {
    if (path == drawn_) return;
    drawn_ = path;
    drawnLate_.stop();
    // Once the painting is over.
    QMetaObject::invokeMethod(this, &ImageLoader::pump, Qt::QueuedConnection);
}

void ImageLoader::pump() {
    for (int i = 0; i < wishes_.size(); ++i) {
        const Key& key = wishes_[i];
        if (storeFor(key).entries.contains(key) || scheduler_.contains(key) || errors_.contains(key.path)) continue;
        // The first wish is the picture on show: it is needed now.
        if (i == 0) {
            startShown(key);
            continue;
        }
        // Decodings ahead wait until the picture on show, or the part of it in view, is there: they would take a
        // worker from it (at start, a photo's part and the next photo at 100 % would share the two cores).
        const Key& shown = wishes_.first();
        const bool shownThere = pictures_.entries.contains(shown) || parts_.contains(shown.path) ||
                                errors_.contains(shown.path) || !showsInParts(shown);
        if (scheduler_.anyOf(Priority::Shown) || !partsPending_.isEmpty() || !shownThere) return;
        // ...and until it has reached the screen: a decoding beside the painting slows the painting down (both
        // stream pixels through memory).
        if (drawn_ != shown.path && !errors_.contains(shown.path)) {
            if (!drawnLate_.isActive()) drawnLate_.start();
            return;
        }
        if (!settled_) {
            // The moment counts from when the picture on show is there.
            if (!settle_.isActive()) settle_.start();
            return;
        }
        // One decoding ahead at a time, the next picture first: it comes no sooner with the one after it
        // decoding beside it, and the memory a decoding holds in flight (a 24 MP photo halved on its way to the
        // screen: 24 MB) is taken once.
        if (scheduler_.anyOf(Priority::Preload)) return;
        start(key, Priority::Preload);
    }
}

void ImageLoader::finished(const std::shared_ptr<Job>& job, const QImage& image, bool animated, const QString& error) {
    const Key& key = job->key;
    scheduler_.finished(job);
    // Stopped because it was not wanted any more: nothing to keep, nothing to say.
    if (job->stop.unwanted) {
        pump();
        return;
    }
    parts_.remove(key.path);
    if (image.isNull()) {
        // Not tried again; the page draws the reason instead.
        errors_.insert(key.path, error.isEmpty() ? QStringLiteral("the picture cannot be decoded") : error);
    } else {
        if (animated) animatedPaths_.insert(key.path);
        Store& store = storeFor(key);
        QSet<Key> wanted(wishes_.begin(), wishes_.end());
        wanted.insert(shown_);
        // A picture no one wants any more is not worth evicting a wanted one for.
        if (store.makeRoom(image.sizeInBytes(), wanted) || wanted.contains(key)) store.insert(key, image);
        if (animated && job->priority >= Priority::Thumbnail) animate(key.path);
    }
    pump();
    emit ready(key.path);
}

}  // namespace gb::qt

namespace gb::qt {

void ImageLoader::animate(const QString& path) {
    if (movies_.contains(path)) return;
    // Large animations show their first frame still: each frame of one would be decoded whole on this thread.
    const QSize canvas = header(path).canvas;
    if (!canvas.isValid() || static_cast<qint64>(canvas.width()) * canvas.height() > animatedPixelsMost) return;
    auto* movie = new Animation(path, 4LL * canvas.width() * canvas.height(), scheduler_.workers(),
                                static_cast<int>(Priority::Thumbnail), scheduler_.budget(), this);
    // A movie plays while it is drawn: one not drawn since its last frame (its page was left) stops.
    connect(movie, &Animation::frameChanged, this, [this, path] {
        if (!moviesDrawn_.remove(path)) {
            stopMovie(path);
            return;
        }
        emit ready(path);
    });
    moviesDrawn_.insert(path);
    movies_.insert(path, movie);
    movieOrder_.append(path);
    while (movieOrder_.size() > moviesKept) stopMovie(movieOrder_.first());
}

void ImageLoader::stopMovie(const QString& path) {
    moviesDrawn_.remove(path);
    movieOrder_.removeAll(path);
    if (Animation* movie = movies_.take(path)) movie->finish();
}

}  // namespace gb::qt
