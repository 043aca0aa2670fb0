// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/image/decode_guard.h"

#include <QMutexLocker>

namespace gb::qt {

StoppableDevice::StoppableDevice(QIODevice& source, const DecodeStop& stop) : source_(source), stop_(stop) {
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    QIODevice::seek(source_.pos());
}

bool StoppableDevice::seek(qint64 pos) {
    if (stop_.stopped() || !source_.seek(pos)) return false;
    return QIODevice::seek(pos);
}

qint64 StoppableDevice::readData(char* data, qint64 maxSize) {
    if (stop_.stopped()) {
        // An end of file lets libjpeg finish the picture from what it has read (a whole output pass); a second
        // start-of-image marker is an error that ends it at once.
        if (!jpeg_ || maxSize < 2) return -1;
        for (qint64 i = 0; i + 1 < maxSize; i += 2) {
            data[i] = '\xff';
            data[i + 1] = '\xd8';
        }
        return maxSize & ~qint64(1);
    }
    return source_.read(data, pieces_ ? std::min(maxSize, piece) : maxSize);
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
