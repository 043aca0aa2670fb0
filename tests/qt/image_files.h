#pragma once
// Picture files written by the tests themselves.

#include <QColor>
#include <QString>

namespace gb::test {

// Saves a one-colour picture in a format Qt writes (JPG, BMP, PNG); false when it could not.
bool writePicture(const QString& path, int width, int height, const char* format, QColor colour);

// A GIF of `frames` frames alternating red and blue, 10 ms apart (Qt writes no GIF).
bool writeGif(const QString& path, int width, int height, int frames = 1);

// Broken and hostile files, each named after the fault it provokes.
bool writeTruncated(const QString& path, int width, int height);       // a JPEG cut in half
bool writeBmpHeader(const QString& path, int width, int height);       // a BMP that claims a size, no pixels
bool writeJpegHeader(const QString& path, int width, int height);      // a JPEG header claiming a size
bool writeBrokenAnimatedGif(const QString& path, int width, int height);  // the second frame is cut short
bool writeBytes(const QString& path, const QByteArray& bytes);

}  // namespace gb::test
