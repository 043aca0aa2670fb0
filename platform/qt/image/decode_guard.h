// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What keeps a decoding within bounds: it stops when no one wants it any more or when it has run too long
// (the file is read through a device that fails from then on, so the decoder ends at its next read), and the
// decodings in flight together stay within one memory budget.

#include <QDeadlineTimer>
#include <QIODevice>
#include <QMutex>
#include <QWaitCondition>

#include <atomic>
#include <memory>

namespace gb::qt {

struct DecodeStop {
    std::atomic<bool> unwanted{false};
    QDeadlineTimer deadline{QDeadlineTimer::Forever};
    bool tooSlow() const { return deadline.hasExpired(); }
    bool stopped() const { return unwanted.load() || tooSlow(); }
};

// Reads `source` until told to stop; from then on every read fails.
class StoppableDevice final : public QIODevice {
public:
    StoppableDevice(QIODevice& source, const DecodeStop& stop);
    bool isSequential() const override { return source_.isSequential(); }
    qint64 size() const override { return source_.size(); }
    bool seek(qint64 pos) override;
    bool atEnd() const override { return stop_.stopped() || source_.atEnd(); }
    // For libjpeg, which takes what each read gives: see below. Other decoders expect whole reads.
    void readAsJpeg(bool progressive) {
        jpeg_ = true;
        pieces_ = progressive;
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QIODevice& source_;
    const DecodeStop& stop_;
    // In pieces, so that the decoder looks at its stop often even where a few bytes cost a pass over the whole
    // picture (the end-of-band runs of a progressive JPEG: a file of thousands of tiny scans). A baseline JPEG
    // cannot do that (every block costs bits), so it is read in whole pieces.
    bool jpeg_ = false;
    bool pieces_ = false;
    static constexpr qint64 piece = 128;
};

// Bytes that the decodings running at once may take together. A decoding waits for its share; one that could
// never fit is refused.
class MemoryBudget {
public:
    explicit MemoryBudget(qint64 bytes) : total_(bytes) {}
    // Waits until `bytes` fit (or the decoding is stopped: false). One asking for more than the whole budget
    // gets it once nothing else is in flight, so that no picture the allocation limit admits waits for ever.
    bool take(qint64 bytes, const DecodeStop& stop);
    void give(qint64 bytes);
    qint64 inFlight() const;
    qint64 total() const { return total_; }

private:
    const qint64 total_;
    mutable QMutex mutex_;
    QWaitCondition freed_;
    qint64 used_ = 0;
};

}  // namespace gb::qt
