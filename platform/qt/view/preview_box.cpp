// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/view/preview_box.h"

#include <QPixmap>

namespace gb::qt {

PreviewBox::PreviewBox(ImageLoader& loader, QWidget* parent) : QLabel(parent), loader_(loader) {
    setAlignment(Qt::AlignCenter);
    connect(&loader_, &ImageLoader::ready, this, [this](const QString& path) {
        if (path == path_) showPicture(path);
    });
}

void PreviewBox::showPicture(const QString& path) {
    path_ = path;
    const QImage image = path.isEmpty() ? QImage() : loader_.image(path, size());
    if (image.isNull()) {
        setPixmap({});
        return;
    }
    // Filling the box, in device pixels (a picture smaller than the box comes at its own size).
    QPixmap picture =
        QPixmap::fromImage(image.scaled(loader_.toDevice(size()), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    picture.setDevicePixelRatio(loader_.devicePixelRatio());
    setPixmap(picture);
}

}  // namespace gb::qt
