#include "platform/qt/decode_guard.h"

#include <QMutexLocker>

namespace gb::qt {

StoppableDevice::StoppableDevice(QIODevice& source, const DecodeStop& stop) : source_(source), stop_(stop) {
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    QIODevice::seek(source_.pos());
    running_.start();
}

bool StoppableDevice::seek(qint64 pos) {
    if (stop_.stopped() || !source_.seek(pos)) return false;
    return QIODevice::seek(pos);
}

qint64 StoppableDevice::readData(char* data, qint64 maxSize) {
    if (stop_.stopped()) return -1;
    if (running_.elapsed() > quickMs) maxSize = std::min(maxSize, slowPiece);
    return source_.read(data, maxSize);
}

bool MemoryBudget::take(qint64 bytes, const DecodeStop& stop) {
    QMutexLocker lock(&mutex_);
    while (used_ > 0 && used_ + bytes > total_) {
        if (stop.stopped()) return false;
        freed_.wait(&mutex_, 50);
    }
    if (stop.stopped()) return false;
    used_ += bytes;
    return true;
}

void MemoryBudget::give(qint64 bytes) {
    {
        QMutexLocker lock(&mutex_);
        used_ -= bytes;
    }
    freed_.wakeAll();
}

qint64 MemoryBudget::inFlight() const {
    QMutexLocker lock(&mutex_);
    return used_;
}

}  // namespace gb::qt
