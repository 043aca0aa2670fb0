#pragma once
// Picture files written by the tests themselves.

#include <QColor>
#include <QString>

namespace gb::test {

// Saves a one-colour picture in a format Qt writes (JPG, BMP, PNG); false when it could not.
bool writePicture(const QString& path, int width, int height, const char* format, QColor colour);

// A GIF of `frames` frames alternating red and blue, 10 ms apart (Qt writes no GIF).
bool writeGif(const QString& path, int width, int height, int frames = 1);

}  // namespace gb::test
