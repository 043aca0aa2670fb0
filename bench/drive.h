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
        connect(&timer_, &QTimer::timeout, this, [this] { longest_ = std::max(longest_, clock_.restart()); });
        timer_.start();
    }
    qint64 longest() const { return longest_; }
    void reset() {
        longest_ = 0;
        clock_.restart();
    }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 longest_ = 0;
};

inline bool waitFor(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

}  // namespace gb::bench
