// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/image/animation.h"

namespace gb::qt {

Animation::Decoder::Decoder(const QString& path, qint64 canvasBytes, MemoryBudget& budget)
    : bytes(3 * canvasBytes), budget(budget), frames(path, canvasBytes / 4, stop) {}

Animation::Decoder::~Decoder() {
    if (budgeted) budget.give(bytes);
}

Animation::Animation(const QString& path, qint64 canvasBytes, QThreadPool& pool, int priority, MemoryBudget& budget,
                     QObject* parent)
    : QObject(parent),
      decoder_(std::make_shared<Decoder>(path, canvasBytes, budget)),
      pool_(pool),
      priority_(priority) {
    due_.setSingleShot(true);
    connect(&due_, &QTimer::timeout, this, &Animation::showNext);
    decodeNext();
}

Animation::~Animation() {
    if (decoder_) decoder_->stop.unwanted = true;
}

void Animation::finish() {
    finishing_ = true;
    due_.stop();
    if (decoder_) decoder_->stop.unwanted = true;
    if (!decoding_) deleteLater();
}

void Animation::decodeNext() {
    decoding_ = true;
    pool_.start(
        [this, decoder = decoder_] {
            AnimationFrame frame;
            if (!decoder->budgeted) decoder->budgeted = decoder->budget.take(decoder->bytes, decoder->stop);
            if (decoder->budgeted) frame = decoder->frames.next();
            // The animation outlives this call: it waits for the decoding before it goes (finish()), and the
            // loader's pool is emptied before the loader and its animations are destroyed.
            QMetaObject::invokeMethod(
                this, [this, frame] { arrived(frame); }, Qt::QueuedConnection);
        },
        priority_);
}

void Animation::arrived(const AnimationFrame& frame) {
    decoding_ = false;
    if (finishing_) {
        deleteLater();
        return;
    }
    if (frame.image.isNull()) return;  // cannot be read any more: the frame on show stays
    next_ = frame;
    // The first frame, or one later than its time: shown now.
    if (shown_.isNull() || !due_.isActive()) showNext();
}

void Animation::showNext() {
    if (next_.image.isNull()) return;  // still decoding: shown as it arrives
    shown_ = next_.image;
    next_.image = QImage();
    if (next_.last) {
        // No frame will come: the file is closed and the memory its decoding held goes back at once.
        resting_ = true;
        decoder_.reset();
    } else {
        due_.start(next_.delayMs);
        decodeNext();
    }
    // Last: a receiver may finish the animation, which then waits for the decoding just started.
    emit frameChanged();
}

}  // namespace gb::qt
