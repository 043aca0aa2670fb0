// SPDX-License-Identifier: GPL-3.0-or-later
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
bool writeTruncated(const QString& path, int width, int height);   // a JPEG cut in half
bool writeBmpHeader(const QString& path, int width, int height);   // a BMP that claims a size, no pixels
bool writeJpegHeader(const QString& path, int width, int height);  // a JPEG header claiming a size
// A real JPEG whose frame header is changed to another coding process (`marker`, 0xC0-0xCF) and precision: what
// the decoder reads of such a file is its header alone.
bool writeJpegCoding(const QString& path, int width, int height, int marker, int precision);
bool writeBrokenAnimatedGif(const QString& path, int width, int height);  // the second frame is cut short
bool writeBytes(const QString& path, const QByteArray& bytes);
QByteArray readBytes(const QString& path);  // empty when it cannot be read

// Pictures that cost far more to decode than their size on disk says.
// A progressive JPEG of one grey whose smallest scan stands `copies` more times: each copy is a pass over the
// whole picture, and the decoder only warns about the repetition.
bool writeScanBomb(const QString& path, int width, int height, int copies);
// An animated GIF of tiny frames on a logical screen of width x height: the decoder's canvas is the screen.
bool writeGifScreenBomb(const QString& path, int width, int height, int frames);
// An 8-bit RLE BMP that claims width x height and ends its pixels at once (the rest is left blank).
bool writeRleBmpBomb(const QString& path, int width, int height);
// A valid BMP stored top row first (negative height): the top half red, the bottom half blue.
bool writeTopDownBmp(const QString& path, int width, int height);

}  // namespace gb::test
