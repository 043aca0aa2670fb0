#pragma once
// An animated picture played without decoding on the window's thread: each frame is decoded on a worker, one
// ahead of the one on show, and shown when the previous frame's delay has passed. The decoder's canvas counts
// against the loader's memory budget for as long as the animation plays.

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QObject>
#include <QThreadPool>
#include <QTimer>

#include <memory>

#include "platform/qt/image/decode_guard.h"

namespace gb::qt {

class Animation : public QObject {
    Q_OBJECT
public:
    // `canvasBytes`: what the decoder holds while it plays.
    Animation(const QString& path, qint64 canvasBytes, QThreadPool& pool, int priority, MemoryBudget& budget,
              QObject* parent);
    ~Animation() override;

    // The frame on show; null until the first has been decoded.
    QImage frame() const { return shown_; }
    // Stops the decoding; the animation deletes itself once no decoding of it runs any more.
    void finish();

signals:
    void frameChanged();

private:
    // What a worker touches: handed to one decoding at a time.
    struct Decoder {
        QString path;
        qint64 bytes = 0;
        bool budgeted = false;
        MemoryBudget* budget = nullptr;
        DecodeStop stop;
        std::unique_ptr<QFile> file;
        std::unique_ptr<StoppableDevice> device;
        std::unique_ptr<QImageReader> reader;
        bool open();
        ~Decoder();
    };
    void decodeNext();
    void arrived(const QImage& frame, int delayMs);
    void showNext();

    std::shared_ptr<Decoder> decoder_;
    QThreadPool& pool_;
    const int priority_;
    QImage shown_, next_;
    int nextDelayMs_ = 0;  // how long the next frame stays on show
    bool decoding_ = false, finishing_ = false;
    QTimer due_;
};

}  // namespace gb::qt
