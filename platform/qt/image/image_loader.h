// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Decodes image files on worker threads at the size they will be drawn and keeps the results: pictures in one
// cache bounded in bytes, thumbnails in a store of their own. Preloading asks ahead for the pictures a step
// will show; wishes that are no longer wanted are dropped before their decoding starts. Sizes are asked for in
// the layout's (logical) pixels and decoded in device pixels, so that a scaled screen shows every pixel sharp.

#include <QHash>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QSet>
#include <QSize>
#include <QString>
#include <QThreadPool>
#include <QTimer>

#include <atomic>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/qt/image/animation.h"
#include "platform/qt/image/decode_guard.h"
#include "platform/qt/image/decode_scheduler.h"
#include "platform/qt/image/decoder.h"
#include "platform/qt/image/file_identity.h"
#include "platform/qt/image/image_store.h"
#include "platform/services.h"

namespace gb::qt {

class ImageLoader : public QObject, public platform::Preloader, public platform::ImageProbe {
    Q_OBJECT
public:
    // Room for two 24-megapixel photos at 100 % (the one on show and the next), or dozens of screen-size
    // pictures; with the helper decoding the next one, a walk through 24-megapixel photos stays under 400 MB.
    // Thumbnails (up to 64 x 64) have their own bound: about 13,000 of 50 x 50.
    static constexpr qint64 defaultPictureBytes = 256LL * 1024 * 1024;
    static constexpr qint64 defaultThumbnailBytes = 128LL * 1024 * 1024;
    // How many thumbnails of 50 x 50 the store holds: what a page asks for ahead at most.
    static constexpr int thumbnailsHeld = static_cast<int>(defaultThumbnailBytes / (4 * 50 * 50));

    explicit ImageLoader(QObject* parent = nullptr);
    ~ImageLoader() override;

    // Device pixels per logical pixel of the screens drawn on: the highest of the system's screens at start.
    qreal devicePixelRatio() const { return devicePixelRatio_; }
    void setDevicePixelRatio(qreal ratio) { devicePixelRatio_ = ratio > 0 ? ratio : 1.0; }
    QSize toDevice(QSize logical) const { return (QSizeF(logical) * devicePixelRatio_).toSize(); }

    // The decoded image of `path` for drawing at `size`, or a null image while it is not ready; a missing one
    // is requested in the background and announced by ready(). A picture drawn larger than it is comes at its
    // natural size: the painter enlarges it, so a zoomed picture costs no more memory than the picture.
    // Thumbnails have their own store and wait behind the picture on show.
    QImage image(const QString& path, QSize size, bool thumbnail = false);

    // ImageProbe: what the header says, read once per file (again once the file changed on disk) by a decoder
    // helper, never on the window's thread. probe() never waits: a header not read yet is "not known yet" (not ok,
    // no error), goes on being read and is announced by headerKnown() and ready(). (Waiting even a few
    // milliseconds for a neighbour's header would hold up the step that asks for it.)
    // The picture on show reached the screen: decodings ahead may start.
    void shownDrawn(const QString& path);

    platform::ImageInfo probe(const std::string& path) override;
    void probeLater(const std::string& path, std::function<void(const platform::ImageInfo&)> done) override;

    // While a large picture drawn at its own size is decoding, the decoded part of it around `visible`
    // (picture coordinates) so that what is in view is drawn at once: a null image while it is not ready, in
    // which case it is asked for ahead of everything else. JPEG only (Qt decodes other types whole anyway).
    struct Part {
        QRect area;
        QImage image;
    };
    Part part(const QString& path, QSize size, QRect visible);

    // Preloader: decodes the wanted pictures in order, the first at once and the others once no picture to be
    // shown is waiting. Wishes past the picture cache's bound are not taken.
    void preload(const std::vector<platform::PreloadRequest>& wanted) override;

    // The thumbnails of a page, in page order: decoded in the background after those in view, which are asked
    // for as they are drawn. A new page drops the ones of the old page not started yet.
    void fetchThumbnails(const QList<QPair<QString, QSize>>& thumbnails);

    // The picture's upright size from its header (read once per file); invalid when it cannot be read or is not
    // known yet.
    QSize naturalSize(const QString& path) { return header(path).size; }

    // Forgets all that is held of `path` (size, pictures, thumbnails, error, animation) when the file it names
    // is not the one read any more: replaced under the same name, rewritten or completed since. Pages call it
    // for their pictures as they are set.
    void revalidate(const QString& path);

    bool isAnimated(const QString& path) const { return movies_.contains(path); }
    // Why the picture could not be decoded; empty while it could, or has not been tried.
    QString errorFor(const QString& path) const { return errors_.value(path); }

    // The picture for drawing `path` at `size` when it is held, without asking for it otherwise.
    QImage held(const QString& path, QSize size) {
        const QImage* found = pictures_.find(keyFor(path, size, false));
        return found ? *found : QImage();
    }
    // Whether the picture for drawing `path` at `size` is being decoded, or waits for a worker.
    bool decoding(const QString& path, QSize size) { return scheduler_.contains(keyFor(path, size, false)); }

    // For tests and benchmarks: what is held and what was done.
    bool holds(const QString& path, QSize size, bool thumbnail = false);
    qint64 pictureBytes() const { return pictures_.bytes; }
    qint64 thumbnailBytes() const { return thumbnails_.bytes; }
    int decodesStarted() const { return scheduler_.started(); }
    qint64 decodingInFlight() const { return scheduler_.budget().inFlight(); }
    void setPictureLimit(qint64 bytes) { pictures_.limit = bytes; }
    void setPreloading(bool on) { preloading_ = on; }
    QThreadPool& workers() { return scheduler_.workers(); }
    // Where thumbnails are kept between runs: the desktop's cache unless told otherwise (none while null).
    void setThumbnailCache(std::shared_ptr<const ThumbnailCache> cache) {
        scheduler_.setThumbnailCache(std::move(cache));
    }

signals:
    void ready(const QString& path);
    // A header that probe() could not wait for is known now.
    void headerKnown(const QString& path);

private:
    using Key = ImageKey;
    using Store = ImageStore;

    using Priority = DecodeScheduler::Priority;
    using Job = DecodeScheduler::Job;

    // The largest thumbnail, in logical pixels: what bounds how many the thumbnail store takes.
    static constexpr int thumbnailMost = 64;
    Store& storeFor(const Key& key) { return key.thumbnail ? thumbnails_ : pictures_; }
    // The key to decode for drawing at `drawn` (logical): a picture never larger than it is in either direction.
    Key keyFor(const QString& path, QSize drawn, bool thumbnail);
    void start(const Key& key, Priority priority);
    void finished(const std::shared_ptr<Job>& job, const QImage& image, bool animated, const QString& error);
    // Starts the wished decodes that may start now.
    void pump();
    void queueBackground();
    void animate(const QString& path);
    void partFinished(const QString& path, QSize size, const Part& part);

    qreal devicePixelRatio_ = 1.0;
    Store pictures_{{}, 0, defaultPictureBytes, 2, 0};
    Store thumbnails_{{}, 0, defaultThumbnailBytes, std::numeric_limits<int>::max(), 0};
    QList<Key> wishes_;
    QList<Key> background_;  // the thumbnails of the page, queued a slice at a time
    qsizetype backgroundNext_ = 0;
    // Preloads around a picture opened or jumped to start once it has been on show for a moment.
    static constexpr int settleMs = 250;
    QTimer settle_;
    bool settled_ = false;
    // The picture on show that reached the screen last, and the moment that stands in where nothing is painted.
    QString drawn_;
    QTimer drawnLate_;
    static constexpr int drawnLateMs = 100;
    Key shown_;
    bool preloading_ = true;
    QHash<QString, Header> headers_;
    // Headers being read, each with what waits for it; read on threads of their own, so that a header never waits
    // behind a decoding.
    struct HeaderReading {
        std::mutex mutex;
        std::optional<Header> header;
        QList<std::function<void(const platform::ImageInfo&)>> waiting;
    };
    QHash<QString, std::shared_ptr<HeaderReading>> headersReading_;
    QThreadPool headerWorkers_;
    DecodeStop headersStop_;  // set when the loader goes
    std::shared_ptr<HeaderReading> readHeaderLater(const QString& path);
    // Keeps a header read; `announce` tells those who wait for it.
    void headerRead(const QString& path, const Header& header, bool announce);
    QHash<QString, FileIdentity> identities_;  // of the file each path named when it was first read
    void forget(const QString& path);
    // The header when it is known; one with no size and no error (and read in the background) when it is not.
    const Header& header(const QString& path);
    // Running decodings of pictures neither on show nor wished for are told to stop; they end at their next read.
    void stopUnwanted();
    bool showsInParts(const Key& key);
    // Starts the decoding of the picture on show; a large photo at 100 % is shown in parts first.
    void startShown(const Key& key);
    QTimer wholeLater_;
    Key wholeLaterKey_;
    // The latest part of pictures still decoding, and the pictures whose part is being decoded.
    QHash<QString, std::pair<QSize, Part>> parts_;
    QSet<QString> partsPending_;
    QHash<QString, QString> errors_;
    QSet<QString> animatedPaths_;
    // Animated GIFs play frame by frame off this thread; only the most recent ones are kept running.
    QHash<QString, Animation*> movies_;
    QSet<QString> moviesDrawn_;  // drawn since their last frame
    void stopMovie(const QString& path);
    // The largest animation played (each frame is decoded whole): 2560 x 1600.
    static constexpr qint64 animatedPixelsMost = 2560LL * 1600;
    QList<QString> movieOrder_;
    static constexpr int moviesKept = 2;
    // Declared last, destroyed first: no decoding outlives what it reports to.
    DecodeScheduler scheduler_{this, [this](const std::shared_ptr<Job>& job, const QImage& image, bool animated,
                                            const QString& error) { finished(job, image, animated, error); }};
};

}  // namespace gb::qt
