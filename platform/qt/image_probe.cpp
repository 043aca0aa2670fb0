#include <QImageIOHandler>
#include <QImageReader>

#include "platform/qt/qt_services.h"

namespace gb::qt {

QSize uprightSize(QImageReader& reader) {
    QSize size = reader.size();
    // A BMP stored top to bottom has a negative height in its header, which Qt 6.4 passes on as it is.
    if (size.height() < 0 && size.width() > 0 && reader.format() == "bmp") size.setHeight(-size.height());
    if (reader.transformation() & QImageIOHandler::TransformationRotate90) size.transpose();
    return size;
}

QSize decoderCanvas(const QByteArray& head, QSize natural) {
    if (head.size() < 10 || !(head.startsWith("GIF87a") || head.startsWith("GIF89a"))) return natural;
    const auto byte = [&](int i) { return static_cast<unsigned char>(head[i]); };
    return natural.expandedTo(QSize(byte(6) | byte(7) << 8, byte(8) | byte(9) << 8));
}

platform::ImageInfo QtImageProbe::probe(const std::string& path) {
    platform::ImageInfo info;
    const QByteArray native = QByteArray::fromStdString(path);
    if (!pathExists(native)) {
        info.error = "The file does not exist (any more).";
        return info;
    }
    QString why;
    const auto file = openForReading(toQString(path), &why);
    if (!file) {
        info.error = "The file cannot be read: " + why.toStdString() + ".";
        return info;
    }
    const QByteArray head = file->peek(16);
    QImageReader reader(file.get());
    reader.setAutoTransform(true);
    const QSize size = uprightSize(reader);
    if (!size.isValid() || size.isEmpty()) {
        // Qt says "Unknown error" for a header it refuses (a bomb, a lie): that is no help to anyone.
        const QString why = reader.error() == QImageReader::UnknownError ? QStringLiteral("its header cannot be read as a picture")
                                                                         : reader.errorString();
        info.error = "This is not a picture that can be shown: " + why.toStdString() + ".";
        return info;
    }
    // A header can claim any size; what could not be decoded within the allocation limit is not tried. For a
    // GIF that is its screen, which the decoder allocates whatever the size of its frames.
    const QSize canvas = decoderCanvas(head, size);
    if (static_cast<double>(canvas.width()) * canvas.height() > maxPicturePixels) {
        info.error = "The picture is too large to show: " + std::to_string(canvas.width()) + " x " +
                     std::to_string(canvas.height()) + " pixels.";
        return info;
    }
    info.ok = true;
    info.width = size.width();
    info.height = size.height();
    return info;
}

}  // namespace gb::qt
