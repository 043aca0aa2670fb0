// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/image/decode_guard.h"

#include <QMutexLocker>

namespace gb::qt {

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
