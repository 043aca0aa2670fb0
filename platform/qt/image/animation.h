// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An animated picture played without decoding on the window's thread: each frame is decoded by a helper of its
// own (a worker waits for it), one ahead of the one on show, and shown when the previous frame's delay has passed. It
// plays as many times as the file asks (see FrameSource) and then rests on its last frame. The decoder's memory counts
// against the loader's budget for as long as the animation plays; resting, it holds only the frame on show and no file.

#include <QImage>
#include <QObject>
#include <QThreadPool>
#include <QTimer>

#include <memory>

#include "platform/qt/image/decode_guard.h"
#include "platform/qt/image/sandbox/remote_decoding.h"

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
    // The last frame is on show and no other will come.
    bool resting() const { return resting_; }
    // Stops the decoding; the animation deletes itself once no decoding of it runs any more.
    void finish();

signals:
    void frameChanged();

private:
    // What a worker touches: handed to one decoding at a time.
    struct Decoder {
        Decoder(const QString& path, qint64 canvasBytes, MemoryBudget& budget);
        ~Decoder();
        // The canvas, the frame on show (a copy once the canvas changes) and the part a frame may put back.
        const qint64 bytes;
        bool budgeted = false;
        MemoryBudget& budget;
        DecodeStop stop;
        RemoteFrames frames;
    };
    void decodeNext();
    void arrived(const AnimationFrame& frame);
    void showNext();

    std::shared_ptr<Decoder> decoder_;  // none once resting
    QThreadPool& pool_;
    const int priority_;
    QImage shown_;
    AnimationFrame next_;  // decoded ahead; its delay counts from when it is shown
    bool decoding_ = false, finishing_ = false, resting_ = false;
    QTimer due_;
};

}  // namespace gb::qt
