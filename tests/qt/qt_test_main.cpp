#include <gtest/gtest.h>
#include <QApplication>
#include <QImageReader>

#include "platform/qt/image/decoder.h"
#include "platform/qt/qt_services.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QImageReader::setAllocationLimit(gb::qt::imageAllocationLimitMb);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
