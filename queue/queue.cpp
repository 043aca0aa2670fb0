// SPDX-License-Identifier: GPL-3.0-or-later
#include "queue/queue.h"

#include "app/texts.h"

namespace gb {

bool Queue::hasCurrent() const {
    return queuePos_ >= 1 && queuePos_ <= queueCount_ && queuePos_ <= entries() && queuePos_ <= paths_.listCount();
}

void Queue::append(const std::string& path, const std::string& name) {
    paths_.addItem(path);
    if (names_ != nullptr) names_->addItem(name);
}

void Queue::clear() {
    paths_.clear();
    if (names_ != nullptr) names_->clear();
    queuePos_ = queueCount_ = 0;
}

void Queue::startBefore(const std::string& startFile) {
    const int count = paths_.listCount();
    queuePos_ = 0;
    while (queuePos_ < count && paths_.listItem(queuePos_) != startFile) ++queuePos_;
    queueCount_ = count;
    writeTotal();
}

bool Queue::step(int delta) {
    // The list and the counter are kept together; the checks also keep a move inside the list.
    if (delta > 0 && (queuePos_ >= queueCount_ || queuePos_ >= paths_.listCount())) return false;
    if (delta < 0 && (queuePos_ <= 1 || queuePos_ - 2 >= paths_.listCount())) return false;
    queuePos_ += delta > 0 ? 1 : -1;
    steppedBack_ = delta < 0;
    writeCur();
    if (queuePos_ == queueCount_) position_.setCaption(texts::endLabel);
    return true;
}

void Queue::jumpTo(const std::string& path) {
    for (int i = 0; i < paths_.listCount(); ++i) {
        if (paths_.listItem(i) == path) {
            queuePos_ = i + 1;
            writeCur();
            return;
        }
    }
}

void Queue::removeAt(int index) {
    paths_.removeItem(index);
    if (names_ != nullptr) names_->removeItem(index);
    queueCount_ = entries();
    writeTotal();
    // Judged by its place, which also holds for names that differ only in case.
    if (index < queuePos_ - 1) --queuePos_;
    writePosition();
}

void Queue::insert(const std::string& path, const std::string& name) {
    if (names_ != nullptr) names_->addItem(name);
    const int at = paths_.addItem(path);
    queueCount_ = entries();
    writeTotal();
    if (at < queuePos_) ++queuePos_;
    writePosition();
}

void Queue::writeTotal() { total_.setCaption(texts::totPrefix + std::to_string(queueCount_)); }

void Queue::writePosition() {
    if (queuePos_ < queueCount_) writeCur();
    else position_.setCaption(texts::endLabel);
}

void Queue::writeCur() { position_.setCaption(texts::curPrefix + std::to_string(queuePos_)); }

}  // namespace gb
