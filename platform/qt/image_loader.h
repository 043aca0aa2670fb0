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
#include <vector>

#include "platform/qt/animation.h"
#include "platform/qt/decode_guard.h"
#include "platform/qt/file_identity.h"
#include "platform/services.h"

namespace gb::qt {

class ImageLoader : public QObject, public platform::Preloader {
    Q_OBJECT
public:
    // Room for two 24-megapixel photos at 100 % (the one on show and the next), or dozens of screen-size
    // pictures; with the memory kept for decoding (ImageBuffers, one such photo) a walk through 24-megapixel
    // photos stays under 400 MB. Thumbnails (up to 64 x 64) have their own bound: about 13,000 of 50 x 50.
    static constexpr qint64 defaultPictureBytes = 256LL * 1024 * 1024;
    static constexpr qint64 defaultThumbnailBytes = 128LL * 1024 * 1024;

    explicit ImageLoader(QObject* parent = nullptr);
    ~ImageLoader() override;

    // Device pixels per logical pixel of the screens drawn on: the highest of the system's screens at start.
    qreal devicePixelRatio() const { return devicePixelRatio_; }
    void setDevicePixelRatio(qreal ratio) { devicePixelRatio_ = ratio > 0 ? ratio : 1.0; }
    QSize toDevice(QSize logical) const { return (QSizeF(logical) * devicePixelRatio_).toSize(); }

    // The decoded image of `path` for drawing at `size`, or a null image while it is not ready; a missing one
    // is requested in the background and announced by ready(). A picture drawn larger than it is comes at its
    // natural size: the painter enlarges it, so a zoomed picture costs no more memory than the picture.
    QImage image(const QString& path, QSize size);

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

    // Decoding off the UI thread; also used directly by tests and benchmarks. `frames` receives the number of
    // frames of an animation (1 for a still picture).
    // `stop` ends the decoding early (a null image then), `budget` holds it until its memory fits.
    static QImage decode(const QString& path, QSize size, QString* error = nullptr, int* frames = nullptr,
                         const DecodeStop* stop = nullptr, MemoryBudget* budget = nullptr);
    // The longest a picture may take to decode; past it, its place says it was too slow.
    static constexpr int decodeSeconds = 15;
    // What all decodings in flight may take together (pictures, thumbnails, parts, animation frames).
    static constexpr qint64 decodingBytes = 512LL * 1024 * 1024;
    // The memory a decoding of a picture of `natural` size drawn at `size` takes at its peak.
    static qint64 decodeBytes(QSize natural, QSize size, bool reduced, bool progressive);

    // The picture's upright size from its header (read once per file); invalid when it cannot be read.
    QSize naturalSize(const QString& path) { return header(path).size; }

    // Forgets all that is held of `path` (size, pictures, thumbnails, error, animation) when the file it names
    // is not the one read any more: replaced under the same name, rewritten or completed since. Pages call it
    // for their pictures as they are set.
    void revalidate(const QString& path);

    bool isAnimated(const QString& path) const { return movies_.contains(path); }
    // Why the picture could not be decoded; empty while it could, or has not been tried.
    QString errorFor(const QString& path) const { return errors_.value(path); }

    // For tests and benchmarks: what is held and what was done.
    bool holds(const QString& path, QSize size);
    qint64 pictureBytes() const { return pictures_.bytes; }
    qint64 thumbnailBytes() const { return thumbnails_.bytes; }
    int decodesStarted() const { return decodesStarted_.load(); }
    qint64 decodingInFlight() const { return budget_.inFlight(); }
    void setPictureLimit(qint64 bytes) { pictures_.limit = bytes; }
    void setPreloading(bool on) { preloading_ = on; }
    QThreadPool& workers() { return pool_; }

signals:
    void ready(const QString& path);

private:
    struct Key {
        QString path;
        QSize size;
        bool operator==(const Key& o) const { return path == o.path && size == o.size; }
    };
    friend size_t qHash(const Key& k, size_t seed) { return qHashMulti(seed, k.path, k.size.width(), k.size.height()); }

    // Least recently used entries go first once the bytes pass the limit or too many unwanted ones are held;
    // `keep` is never evicted.
    struct Store {
        struct Entry {
            QImage image;
            quint64 used = 0;
        };
        QHash<Key, Entry> entries;
        qint64 bytes = 0;
        qint64 limit = 0;
        // How many entries beyond the wanted ones may stay (the pictures just seen, for a step back).
        int othersKept = 0;
        quint64 clock = 0;
        const QImage* find(const Key& key);
        void insert(const Key& key, const QImage& image);
        // Evicts until `extra` more bytes fit, sparing the keys in `keep`; false when only kept ones are left
        // and they do not leave room.
        bool makeRoom(qint64 extra, const QSet<Key>& keep);
        void removeIf(const std::function<bool(const Key&)>& unwanted);
    };

    // Thumbnails of the page out of view, pictures ahead, thumbnails in view, the picture on show.
    enum class Priority { Background = 0, Preload = 1, Thumbnail = 2, Shown = 3 };
    struct Job {
        enum State { Queued, Running, Dropped };
        Key key;
        Priority priority;
        std::atomic<int> state{Queued};
        DecodeStop stop;  // set from the UI thread when the decoding is not wanted any more
    };

    // From this size on, a full-size JPEG decodes into memory used before (ImageBuffers).
    static constexpr qint64 largePixels = 1 << 20;
    static constexpr int thumbnailMost = 64;  // logical pixels
    bool isThumbnail(QSize device) const {
        return device.width() <= thumbnailMost * devicePixelRatio_ && device.height() <= thumbnailMost * devicePixelRatio_;
    }
    Store& storeFor(const Key& key) { return isThumbnail(key.size) ? thumbnails_ : pictures_; }
    // The size in device pixels to decode for drawing at `drawn` (logical): never larger than the picture in
    // either direction.
    QSize decodeSize(const QString& path, QSize drawn);
    void start(const Key& key, Priority priority);
    // Drops the jobs of `priority` not started yet whose key is not in `keep`.
    void dropQueued(Priority priority, const QSet<Key>& keep);
    void finished(const std::shared_ptr<Job>& job, const QImage& image, bool animated, const QString& error);
    // Starts the wished decodes that may start now.
    void pump();
    bool shownPending() const;
    void queueBackground();
    void animate(const QString& path);
    static QImage decodePart(const QString& path, QRect area);
    void partFinished(const QString& path, QSize size, const Part& part);

    qreal devicePixelRatio_ = 1.0;
    Store pictures_{{}, 0, defaultPictureBytes, 2, 0};
    Store thumbnails_{{}, 0, defaultThumbnailBytes, std::numeric_limits<int>::max(), 0};
    QHash<Key, std::shared_ptr<Job>> jobs_;
    QList<Key> wishes_;
    QList<Key> background_;  // the thumbnails of the page, queued a slice at a time
    qsizetype backgroundNext_ = 0;
    // Preloads around a picture opened or jumped to start once it has been on show for a moment.
    static constexpr int settleMs = 250;
    QTimer settle_;
    bool settled_ = false;
    Key shown_;
    bool preloading_ = true;
    // What the header says, read once: the upright size, and whether parts can be decoded on their own.
    struct Header {
        QSize size;
        QSize canvas;  // what the decoder allocates: a GIF's logical screen may be far larger than its frames
        bool partial = false;
    };
    QHash<QString, Header> headers_;
    QHash<QString, FileIdentity> identities_;  // of the file each path named when it was first read
    void forget(const QString& path);
    const Header& header(const QString& path);
    static bool isProgressiveJpeg(const QByteArray& head);
    static QString tooSlowText();
    // Running decodings of pictures neither on show nor wished for are told to stop; they end at their next read.
    void stopUnwanted();
    // Stops the jobs `which` picks (a queued one never starts, a running one ends at its next read) and forgets
    // them.
    void stopJobs(const std::function<bool(const Key&, const Job&)>& which);
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
    std::atomic<int> decodesStarted_{0};
    // Animated GIFs play frame by frame off this thread; only the most recent ones are kept running.
    QHash<QString, Animation*> movies_;
    QSet<QString> moviesDrawn_;  // drawn since their last frame
    void stopMovie(const QString& path);
    // The largest animation played (each frame is decoded whole): 2560 x 1600.
    static constexpr qint64 animatedPixelsMost = 2560LL * 1600;
    QList<QString> movieOrder_;
    static constexpr int moviesKept = 2;
    MemoryBudget budget_{decodingBytes};
    // Declared last, destroyed first: its destructor waits for the decodes running (told to stop first), so none
    // outlives the loader.
    QThreadPool pool_;
};

}  // namespace gb::qt
