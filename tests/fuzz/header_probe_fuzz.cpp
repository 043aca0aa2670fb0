// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the header probe on any bytes, named as a jpg, gif or bmp (by the first byte). It never
// crashes, answers either a size within the allocation limit or a reason, and never allocates more than the
// limit allows (run with -malloc_limit_mb).

#include <QCoreApplication>
#include <QImageReader>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/qt/image/decoder.h"
#include "platform/qt/qt_services.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static int argc = 1;
    static char name[] = "header_probe_fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static QTemporaryDir dir;
    static bool limited = [] {
        QImageReader::setAllocationLimit(gb::qt::imageAllocationLimitMb);
        return true;
    }();
    (void)limited;
    static const char* const suffixes[] = {".jpg", ".gif", ".bmp"};
    const std::string path = dir.filePath("input").toStdString() + suffixes[size ? data[0] % 3 : 0];
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        if (size) std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    gb::qt::QtImageProbe probe;
    const gb::platform::ImageInfo info = probe.probe(path);
    if (info.ok == !info.error.empty()) std::abort();
    if (info.ok && (info.width <= 0 || info.height <= 0 ||
                    static_cast<double>(info.width) * info.height > gb::qt::maxPicturePixels))
        std::abort();
    return 0;
}
