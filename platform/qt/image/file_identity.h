// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which file a path names right now: a file replaced under the same name, rewritten or completed since it was
// read has another identity, and what was decoded from it is stale.

#include <QByteArray>
#include <cstdint>

namespace gb::qt {

struct FileIdentity {
    std::uint64_t device = 0, inode = 0;
    std::int64_t size = -1, modifiedNs = 0, changedNs = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The identity of what `path` names (links followed); a default identity when nothing is there.
FileIdentity identityOf(const QByteArray& path);

}  // namespace gb::qt
