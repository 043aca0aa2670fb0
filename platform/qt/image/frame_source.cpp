// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/image/frame_source.h"

#include "platform/qt/image/screen_colours.h"

namespace gb::qt {

int shownDelayMs(int delayMs) { return delayMs <= 10 ? 100 : delayMs; }

FrameSource::FrameSource(std::unique_ptr<QIODevice> file, qint64 maxPixels)
    : maxPixels_(maxPixels), file_(std::move(file)) {}

FrameSource::~FrameSource() {
    // The readers go before the devices they read.
    reader_.reset();
    gif_.reset();
}

bool FrameSource::open() {
    reader_.reset();
    gif_.reset();
    if (!file_ || !file_->seek(0)) return false;
    const bool isGif = file_->peek(6) == "GIF87a" || file_->peek(6) == "GIF89a";
    if (isGif) {
        gif_ = std::make_unique<GifFrames>(*file_);
        if (!gif_->start(maxPixels_)) return false;
    } else {
        reader_ = std::make_unique<QImageReader>(file_.get());
        plays_ = reader_->loopCount() < 0 ? 0 : reader_->loopCount() + 1;
    }
    return true;
}

bool FrameSource::rewind() {
    if (gif_) return gif_->rewind();
    return open();  // Qt's readers cannot go back: a new one reads the file again from its start
}

AnimationFrame FrameSource::next() {
    AnimationFrame frame;
    if (!opened_ && !(opened_ = open())) return frame;
    bool more = false;
    if (gif_) {
        if (!gif_->next()) return frame;
        frame.image = gif_->canvas();
        frame.delayMs = gif_->delayMs();
        more = gif_->hasNext();
    } else {
        if (!reader_->read(&frame.image)) return frame;
        toScreenColours(frame.image);  // as the still picture is
        frame.delayMs = reader_->nextImageDelay();
        const int count = reader_->imageCount();
        more = count > 0 ? reader_->currentImageNumber() + 1 < count : reader_->canRead();
    }
    frame.delayMs = shownDelayMs(frame.delayMs);
    if (!more) {
        // A GIF's repeat count may stand anywhere before its last frame.
        if (gif_) plays_ = gif_->repeats() < 0 ? 1 : gif_->repeats() == 0 ? 0 : gif_->repeats() + 1;
        ++played_;
        frame.last = (plays_ != 0 && played_ >= plays_) || !rewind();
    }
    return frame;
}

}  // namespace gb::qt
