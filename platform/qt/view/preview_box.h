// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A picture box: shows its file filling the box, as the loader decodes it (on a worker, within its memory
// budget); until then it stays empty.

#include <QLabel>
#include <QString>

#include "platform/qt/image/image_loader.h"

namespace gb::qt {

class PreviewBox : public QLabel {
    Q_OBJECT
public:
    PreviewBox(ImageLoader& loader, QWidget* parent);
    void showPicture(const QString& path);

private:
    ImageLoader& loader_;
    QString path_;
};

}  // namespace gb::qt
