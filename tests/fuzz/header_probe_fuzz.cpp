// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the header probe, as a decoder helper runs it, on any bytes. It never crashes, answers
// either a size within the allocation limit or a reason, and never allocates more than the limit allows (run
// with -malloc_limit_mb).

#include <QBuffer>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/qt/image/decoder.h"
#include "tests/fuzz/qt_fuzz_app.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool started = (gb::fuzz::startQt(), true);
    (void)started;
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer file(&bytes);
    file.open(QIODevice::ReadOnly);
    const gb::platform::ImageInfo info = gb::qt::readHeader(file).info();
    if (info.ok == !info.error.empty()) std::abort();
    if (info.ok && (info.width <= 0 || info.height <= 0 ||
                    static_cast<double>(info.width) * info.height > gb::qt::maxPicturePixels))
        std::abort();
    return 0;
}
