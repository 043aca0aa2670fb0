// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The frames of a GIF composed as browsers compose them, one at a time, on a canvas the size of the GIF's
// logical screen:
// - the canvas starts transparent, and again at each new play;
// - a frame's rectangle is clipped to the canvas (a frame partly or wholly outside draws only what falls inside);
// - its transparent index leaves the canvas as it was;
// - before the next frame its disposal applies: "restore to background" (2) clears its rectangle to transparent
//   whatever the background colour or transparent index; "restore to previous" (3, and 4, which some encoders
//   write for it) puts back what was under it; anything else leaves it.
// The file is read as it is needed; what is held is the canvas, the part of it that a "restore to previous"
// frame covers, and one row of indices.

#include <QIODevice>
#include <QImage>
#include <QRect>

#include <array>

namespace gb::qt {

class GifFrames {
public:
    // Reads from `device`'s current position, which stays the reader's.
    explicit GifFrames(QIODevice& device);

    // Reads the header up to the first frame; false when `device` holds no GIF, or one whose logical screen is
    // empty or has more than `maxPixels` pixels.
    bool start(qint64 maxPixels);
    QSize size() const { return canvas_.size(); }
    // Composes the next frame on the canvas; false (the canvas as it was) when there is none. A frame whose data
    // ends early is composed from what there is, and is the last.
    bool next();
    // Whether a frame follows the one composed.
    bool hasNext() const { return frameAhead_; }
    // Back to before the first frame, on a transparent canvas.
    bool rewind();

    const QImage& canvas() const { return canvas_; }
    // How long the frame composed asks to be shown, as written (hundredths of a second turned to ms).
    int delayMs() const { return delayMs_; }
    // The NETSCAPE2.0 (or ANIMEXTS1.0) repeat count read so far: -1 when there is none, 0 for ever, else the
    // number of plays after the first.
    int repeats() const { return repeats_; }

private:
    struct Control {
        int disposal = 0;
        int transparent = -1;
        int delayHundredths = 0;
    };
    bool readExact(char* data, qint64 size);
    bool readByte(int& byte);
    bool skipSubBlocks();
    // Reads the blocks before the next frame's descriptor (its control, the repeat count).
    bool findFrame();
    bool readExtension();
    bool readPalette(int flags, std::array<QRgb, 256>& palette, int& size);
    void dispose();
    // Reads the frame's indices row by row into the canvas; false when the data ended early.
    bool drawFrame(QRect frame, bool interlaced, int transparent, const std::array<QRgb, 256>& palette,
                   int paletteSize);

    QIODevice& device_;
    qint64 firstBlock_ = 0;
    QImage canvas_;
    std::array<QRgb, 256> global_{};
    int globalSize_ = 0;
    Control control_;  // for the frame ahead
    bool frameAhead_ = false;
    int delayMs_ = 0;
    int repeats_ = -1;
    // The composed frame's disposal, its rectangle on the canvas, and what it covered there.
    int disposal_ = 0;
    QRect drawn_;
    QImage under_;
};

}  // namespace gb::qt
