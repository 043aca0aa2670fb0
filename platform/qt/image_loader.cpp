#include "platform/qt/image_loader.h"

#include <QElapsedTimer>
#include <QImageIOHandler>
#include <QImageReader>

#include <algorithm>
#include <QThreadPool>

#include "platform/qt/logging.h"
#include "platform/qt/qt_services.h"

namespace gb::qt {

ImageLoader::ImageLoader(QObject* parent) : QObject(parent) {}

QImage ImageLoader::decode(const QString& path, QSize size, QString* error, int* frames) {
    QElapsedTimer clock;
    clock.start();
    QString why;
    const auto file = openForReading(path, &why);
    if (!file) {
        if (error) *error = why;
        return {};
    }
    QImageReader reader(file.get());
    reader.setAutoTransform(true);
    if (frames) *frames = reader.supportsAnimation() ? std::max(1, reader.imageCount()) : 1;
    QSize natural = reader.size();
    const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
    if (turned) natural.transpose();
    // A header that claims more than can ever be shown is not decoded at all, not even reduced.
    if (natural.isValid() && static_cast<double>(natural.width()) * natural.height() > maxPicturePixels) {
        if (error) *error = QStringLiteral("the picture is too large (%1 x %2 pixels)").arg(natural.width()).arg(natural.height());
        return {};
    }
    // Reduced decoding (the JPEG DCT scaling) when the picture is drawn smaller than it is.
    if (natural.isValid() && size.width() < natural.width() && size.height() < natural.height() &&
        reader.supportsOption(QImageIOHandler::ScaledSize)) {
        reader.setScaledSize(turned ? size.transposed() : size);
    }
    QImage image = reader.read();
    if (image.isNull()) {
        if (error) *error = reader.errorString();
        qCWarning(lcGlimmerbox) << "cannot decode" << path << reader.errorString();
        return {};
    }
    if (image.size() != size) image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    qCDebug(lcGlimmerbox) << "decoded" << path << "at" << size << "in" << clock.elapsed() << "ms";
    return image;
}

QImage ImageLoader::image(const QString& path, QSize size) {
    if (size.isEmpty()) return {};
    if (QMovie* movie = movies_.value(path)) {
        const QImage frame = movie->currentImage();
        if (!frame.isNull()) return frame.size() == size ? frame : frame.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    const Key key{path, size};
    if (const auto it = cache_.constFind(key); it != cache_.constEnd()) {
        order_.removeOne(key);
        order_.append(key);
        return *it;
    }
    if (pending_.contains(key) || errors_.contains(path)) return {};
    pending_.insert(key);
    // Thumbnails wait behind the picture the user is looking at.
    const int priority = size.width() * size.height() > 64 * 64 ? 1 : 0;
    pool_.start([this, key] {
        int frames = 1;
        QString error;
        const QImage decoded = decode(key.path, key.size, &error, &frames);
        const bool animated = frames > 1;
        QMetaObject::invokeMethod(
            this, [this, key, decoded, animated, error] { store(key, decoded, animated, error); }, Qt::QueuedConnection);
    }, priority);
    return {};
}

void ImageLoader::store(const Key& key, const QImage& image, bool animated, const QString& error) {
    if (animated) animate(key.path);
    pending_.remove(key);
    if (image.isNull()) {
        // Not tried again for this size; the page draws the reason instead.
        errors_.insert(key.path, error.isEmpty() ? QStringLiteral("the picture cannot be decoded") : error);
        emit ready(key.path);
        return;
    }
    if (cache_.contains(key)) cacheBytes_ -= cache_.value(key).sizeInBytes();
    cache_.insert(key, image);
    cacheBytes_ += image.sizeInBytes();
    order_.removeAll(key);
    order_.append(key);
    while (cacheBytes_ > cacheLimitBytes && order_.size() > 1) {
        const Key oldest = order_.takeFirst();
        cacheBytes_ -= cache_.value(oldest).sizeInBytes();
        cache_.remove(oldest);
    }
    emit ready(key.path);
}

}  // namespace gb::qt

namespace gb::qt {

void ImageLoader::animate(const QString& path) {
    if (movies_.contains(path)) return;
    auto file = openForReading(path);
    if (!file) return;
    auto* movie = new QMovie(file.get(), QByteArray(), this);
    file.release()->setParent(movie);
    movie->setCacheMode(QMovie::CacheNone);
    connect(movie, &QMovie::frameChanged, this, [this, path] { emit ready(path); });
    movies_.insert(path, movie);
    movieOrder_.append(path);
    while (movieOrder_.size() > moviesKept) delete movies_.take(movieOrder_.takeFirst());
    movie->start();
}

}  // namespace gb::qt
