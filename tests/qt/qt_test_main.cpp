// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <QApplication>
#include <QImageReader>
#include <QTemporaryDir>

#include "platform/qt/image/decoder.h"
#include "platform/qt/image/sandbox/helper_pool.h"
#include "platform/qt/qt_services.h"
#include "tests/qt/on_screen.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Thumbnails made by the tests go to a cache of their own, never the user's.
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
    // The helpers of this build decode, as they do for the program.
    qputenv("GLIMMERBOX_DECODER", GLIMMERBOX_TEST_DECODER);
    QApplication app(argc, argv);
    // After the application: the watch's thread uses Qt, and the first thread to use it is taken for the main one.
    gb::test::watchMemory();
    // As the program does at its start: the first picture of a test does not wait for its helper to start.
    gb::sandbox::HelperPool::headers().warmUp();
    gb::sandbox::HelperPool::decoding().warmUp();
    QImageReader::setAllocationLimit(gb::qt::imageAllocationLimitMb);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
