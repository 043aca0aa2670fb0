#include "platform/qt/image_loader.h"

#include <QImageIOHandler>
#include <QImageReader>
#include <QPointer>
#include <QThreadPool>

namespace gb::qt {

ImageLoader::ImageLoader(QObject* parent) : QObject(parent) {}

QImage ImageLoader::decode(const QString& path, QSize size, QString* error) {
    QImageReader reader(path);
    reader.setAutoTransform(true);
    QSize natural = reader.size();
    const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
    if (turned) natural.transpose();
    // Reduced decoding (the JPEG DCT scaling) when the picture is drawn smaller than it is.
    if (natural.isValid() && size.width() < natural.width() && size.height() < natural.height() &&
        reader.supportsOption(QImageIOHandler::ScaledSize)) {
        reader.setScaledSize(turned ? size.transposed() : size);
    }
    QImage image = reader.read();
    if (image.isNull()) {
        if (error) *error = reader.errorString();
        return {};
    }
    if (image.size() != size) image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
}

QImage ImageLoader::image(const QString& path, QSize size) {
    if (size.isEmpty()) return {};
    const Key key{path, size};
    if (const auto it = cache_.constFind(key); it != cache_.constEnd()) return *it;
    if (pending_.contains(key)) return {};
    pending_.insert(key);
    QPointer<ImageLoader> self(this);
    QThreadPool::globalInstance()->start([self, key] {
        QImage decoded = decode(key.path, key.size);
        if (decoded.isNull()) {
            // Drawn as an empty box; the page names the failure when the header already did.
            decoded = QImage(key.size, QImage::Format_ARGB32_Premultiplied);
            decoded.fill(Qt::transparent);
        }
        QMetaObject::invokeMethod(
            self.data(),
            [self, key, decoded] {
                if (self) self->store(key, decoded);
            },
            Qt::QueuedConnection);
    });
    return {};
}

void ImageLoader::store(const Key& key, const QImage& image) {
    pending_.remove(key);
    cache_.insert(key, image);
    order_.removeAll(key);
    order_.append(key);
    while (order_.size() > cacheEntries) cache_.remove(order_.takeFirst());
    emit ready(key.path);
}

}  // namespace gb::qt
