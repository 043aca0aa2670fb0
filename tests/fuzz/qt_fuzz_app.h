// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a fuzz target that reads pictures with Qt needs before its first input: an application object and the
// allocation limit the program sets.

#include <QCoreApplication>
#include <QImageReader>

#include "platform/qt/image/decoder.h"

namespace gb::fuzz {

inline void startQt() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    QImageReader::setAllocationLimit(gb::qt::imageAllocationLimitMb);
}

}  // namespace gb::fuzz
