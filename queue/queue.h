// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The show's queue: the paths of the folder's images (the folder box's list), their names (the current images
// of the suspended-images window), the path on show (the folder box's text), the position of the image on show
// and the count. Only this class writes them: every change of the entries repairs the position here, and the
// status bar's "Tot=" and "Cur="/"END" are written only here.

#include <cstdint>
#include <string>

#include "platform/controls.h"

namespace gb {

class Queue {
public:
    Queue(platform::ComboBox& paths, platform::Label& total, platform::Label& position)
        : paths_(paths), total_(total), position_(position) {}
    Queue(const Queue&) = delete;
    Queue& operator=(const Queue&) = delete;

    // The list of names kept beside the paths (the suspended-images window's), once that window exists.
    void keepNamesIn(platform::ListBox& names) { names_ = &names; }

    // Counted from 1; 0 before the first image, queueCount + 1 once the last one has gone.
    std::int32_t queuePos() const { return queuePos_; }
    std::int32_t queueCount() const { return queueCount_; }
    // The entry at the position, while there is one on show.
    bool hasCurrent() const;
    const std::string& currentPath() const { return paths_.listItem(queuePos_ - 1); }
    const std::string& pathAt(int index) const { return paths_.listItem(index); }

    // Filling by the folder scan: entries in listing order, then the position set just before the starting
    // file, so that a step forward shows it (before the first entry when it is not in the queue).
    void append(const std::string& path, const std::string& name);
    void startBefore(const std::string& startFile);
    // Nothing queued and nothing on show: both lists, the path and the counters emptied.
    void clear();

    // The path on show: the file the image browser was last pointed at from the queue, the file picked to
    // start from while the folder is read, or empty.
    const std::string& onShow() const { return paths_.text(); }
    void setOnShow(const std::string& path) { paths_.setText(path); }
    // Whether the picture on show is the entry at the position (a thumbnail click can show another file).
    bool currentOnShow() const { return hasCurrent() && currentPath() == onShow(); }
    // Whether no entry follows the position: a removal there leaves nothing to show.
    bool atLast() const { return queuePos_ >= queueCount_; }

    // One step in the queue, `delta` +1 or -1; false (nothing changes) at either end. The position shows
    // "END" on the last entry.
    bool step(int delta);
    // Whether the last step went backward: the direction preloading looks ahead in.
    bool steppedBack() const { return steppedBack_; }
    // A jump onto the first entry equal to `path`, case included; "END" is never written, also on the last
    // entry. A path not in the queue leaves the position as it was.
    void jumpTo(const std::string& path);

    // Takes entry `index` (from 0) out of the queue; the position keeps to the image it stood on.
    void removeAt(int index);
    // Puts an entry back at its sorted place; the position keeps to the image it stood on.
    void insert(const std::string& path, const std::string& name);

private:
    int entries() const { return names_ != nullptr ? names_->listCount() : paths_.listCount(); }
    void writeTotal();
    // "Cur=" while an entry follows the position, "END" otherwise.
    void writePosition();
    void writeCur();

    platform::ComboBox& paths_;
    platform::Label& total_;
    platform::Label& position_;
    platform::ListBox* names_ = nullptr;
    // 32-bit, so that folders above 32,767 images work.
    std::int32_t queueCount_ = 0;
    std::int32_t queuePos_ = 0;
    bool steppedBack_ = false;
};

}  // namespace gb
