// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/image/file_identity.h"

#include <sys/stat.h>

namespace gb::qt {

FileIdentity identityOf(const QByteArray& path) {
    struct stat st {};
    if (::stat(path.constData(), &st) != 0) return {};
    const auto ns = [](const timespec& t) { return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec; };
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
            static_cast<std::int64_t>(st.st_size), ns(st.st_mtim), ns(st.st_ctim)};
}

}  // namespace gb::qt
