#include "platform/qt/image/animation.h"

#include "platform/qt/byte_paths.h"

namespace gb::qt {

bool Animation::Decoder::open() {
    reader.reset();
    device.reset();
    file = openForReading(path);
    if (!file) return false;
    device = std::make_unique<StoppableDevice>(*file, stop);
    reader = std::make_unique<QImageReader>(device.get());
    return true;
}

Animation::Decoder::~Decoder() {
    reader.reset();
    if (budgeted) budget->give(bytes);
}

Animation::Animation(const QString& path, qint64 canvasBytes, QThreadPool& pool, int priority, MemoryBudget& budget,
                     QObject* parent)
    : QObject(parent), decoder_(std::make_shared<Decoder>()), pool_(pool), priority_(priority) {
    decoder_->path = path;
    decoder_->bytes = canvasBytes;
    decoder_->budget = &budget;
    due_.setSingleShot(true);
    connect(&due_, &QTimer::timeout, this, &Animation::showNext);
    decodeNext();
}

Animation::~Animation() { decoder_->stop.unwanted = true; }

void Animation::finish() {
    finishing_ = true;
    due_.stop();
    decoder_->stop.unwanted = true;
    if (!decoding_) deleteLater();
}

void Animation::decodeNext() {
    decoding_ = true;
    pool_.start(
        [this, decoder = decoder_] {
            QImage frame;
            int delay = 0;
            if (!decoder->budgeted) decoder->budgeted = decoder->budget->take(decoder->bytes, decoder->stop);
            if (decoder->budgeted && (decoder->reader || decoder->open())) {
                // After the last frame the file is read again from its start.
                if (!decoder->reader->read(&frame) && decoder->open()) decoder->reader->read(&frame);
                delay = decoder->reader ? decoder->reader->nextImageDelay() : 0;
            }
            // The animation outlives this call: it waits for the decoding before it goes (finish()), and the
            // loader's pool is emptied before the loader and its animations are destroyed.
            QMetaObject::invokeMethod(
                this, [this, frame, delay] { arrived(frame, delay); }, Qt::QueuedConnection);
        },
        priority_);
}

void Animation::arrived(const QImage& frame, int delayMs) {
    decoding_ = false;
    if (finishing_) {
        deleteLater();
        return;
    }
    if (frame.isNull()) return;  // cannot be read any more: the frame on show stays
    next_ = frame;
    nextDelayMs_ = std::max(20, delayMs);  // as browsers do with delays of 0 or 10 ms
    // The first frame, or one later than its time: shown now.
    if (shown_.isNull() || !due_.isActive()) showNext();
}

void Animation::showNext() {
    if (next_.isNull()) return;  // still decoding: shown as it arrives
    shown_ = next_;
    next_ = QImage();
    due_.start(nextDelayMs_);
    decodeNext();
    // Last: a receiver may finish the animation, which then waits for the decoding just started.
    emit frameChanged();
}

}  // namespace gb::qt
