#pragma once
// Decodes image files on worker threads at the size they will be drawn, and keeps the last results.

#include <QHash>
#include <QImage>
#include <QMovie>
#include <QObject>
#include <QSet>
#include <QSize>
#include <QString>
#include <QThreadPool>

namespace gb::qt {

class ImageLoader : public QObject {
    Q_OBJECT
public:
    explicit ImageLoader(QObject* parent = nullptr);

    // The decoded image of `path` at exactly `size`, or a null image while it is not ready; a missing one is
    // requested in the background and announced by ready().
    QImage image(const QString& path, QSize size);

    // Decoding off the UI thread; also used directly by tests and benchmarks. `frames` receives the number of
    // frames of an animation (1 for a still picture).
    static QImage decode(const QString& path, QSize size, QString* error = nullptr, int* frames = nullptr);

    bool isAnimated(const QString& path) const { return movies_.contains(path); }
    // Why the picture could not be decoded; empty while it could, or has not been tried.
    QString errorFor(const QString& path) const { return errors_.value(path); }

signals:
    void ready(const QString& path);

private:
    struct Key {
        QString path;
        QSize size;
        bool operator==(const Key& o) const { return path == o.path && size == o.size; }
    };
    friend size_t qHash(const Key& k, size_t seed) { return qHashMulti(seed, k.path, k.size.width(), k.size.height()); }

    void store(const Key& key, const QImage& image, bool animated, const QString& error);
    void animate(const QString& path);

    QHash<Key, QImage> cache_;
    QList<Key> order_;  // least recently used first
    qint64 cacheBytes_ = 0;
    QSet<Key> pending_;
    QHash<QString, QString> errors_;
    // Room for a few screen-size pictures and thousands of thumbnails.
    static constexpr qint64 cacheLimitBytes = 256LL * 1024 * 1024;
    // Animated GIFs play through QMovie; only the most recent ones are kept running.
    QHash<QString, QMovie*> movies_;
    QList<QString> movieOrder_;
    static constexpr int moviesKept = 2;
    // Declared last, destroyed first: its destructor waits for the decodes running, so none outlives the loader.
    QThreadPool pool_;
};

}  // namespace gb::qt
