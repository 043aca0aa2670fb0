// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The frames of an animated picture in the order they are shown, with how long each stays, as browsers play
// them: a GIF composed by GifFrames, other kinds by Qt's readers.
// - Plays: a GIF with no repeat count (NETSCAPE2.0) plays once; a count of 0 plays for ever; a count of N
//   plays N + 1 times in all (Chrome and Firefox, and the writers that target them, read the count as repeats
//   after the first play). Qt's readers count the same way (-1 for ever).
// - After the last frame of the last play, the animation rests on it.
// - A frame that asks for 10 ms or less stays 100 ms, as in Chrome and Firefox: those delays are written by
//   tools that mean "no particular delay", not "as fast as the screen allows".

#include <QIODevice>
#include <QImage>
#include <QImageReader>
#include <QString>

#include <memory>

#include "platform/qt/image/gif_frames.h"

namespace gb::qt {

struct AnimationFrame {
    QImage image;  // null when the file cannot be read (any more)
    int delayMs = 0;
    bool last = false;  // the animation rests on this frame
};

// How long a frame that asks for `delayMs` stays on show.
int shownDelayMs(int delayMs);

class FrameSource {
public:
    // Reads `file` (open, at its start); a GIF's logical screen may have at most `maxPixels` pixels.
    FrameSource(std::unique_ptr<QIODevice> file, qint64 maxPixels);
    ~FrameSource();
    AnimationFrame next();

private:
    bool open();
    bool rewind();

    const qint64 maxPixels_;
    std::unique_ptr<QIODevice> file_;
    std::unique_ptr<GifFrames> gif_;
    std::unique_ptr<QImageReader> reader_;
    bool opened_ = false;
    int plays_ = 1, played_ = 0;
};

}  // namespace gb::qt
