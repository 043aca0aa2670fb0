// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the window-driving benchmarks share: the longest stall of the event loop, and waiting on a condition
// while the loop runs.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <functional>

namespace gb::bench {

// The longest time between two turns of the event loop.
class StallMeter : public QObject {
public:
    StallMeter() {
        clock_.start();
        timer_.setInterval(1);
        since_.start();
        connect(&timer_, &QTimer::timeout, this, [this] {
            const qint64 gap = clock_.restart();
            if (gap > longest_) {
                longest_ = gap;
                longestEnded_ = since_.elapsed();
            }
        });
        timer_.start();
    }
    qint64 longest() const { return longest_; }
    // When the longest stall ended, in milliseconds since the meter started.
    qint64 longestEnded() const { return longestEnded_; }
    void reset() {
        longest_ = 0;
        clock_.restart();
    }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    QElapsedTimer since_;
    qint64 longest_ = 0;
    qint64 longestEnded_ = 0;
};

// Runs the event loop until `done` holds, sleeping between events so that the benchmark takes no processor
// time from the program it measures; a timer wakes the loop to check at least every millisecond.
inline bool waitFor(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    QTimer wake;
    wake.start(1);
    while (!done()) {
        if (t.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

}  // namespace gb::bench
