// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What keeps a decoding within bounds: it stops when no one wants it any more or when it has run too long (its
// helper is killed), and the decodings in flight together stay within one memory budget.

#include <QDeadlineTimer>
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
