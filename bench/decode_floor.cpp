// SPDX-License-Identifier: GPL-3.0-or-later
// The floor the viewer is measured against: Qt's own decoding of the same files, one after another on one
// thread, with nothing else around it. Prints the median time of a decode scaled to fit WIDTH x HEIGHT (the
// JPEG DCT scaling), of a full decode into memory used before, and of a 50 x 50 thumbnail; and what converting
// the colours of such a picture from an embedded Display P3 profile to sRGB adds, whole and fitted.
//
//   decode_floor WIDTH HEIGHT FILE...

#include <QColorSpace>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImageReader>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: decode_floor WIDTH HEIGHT FILE...\n");
        return 2;
    }
    QImageReader::setAllocationLimit(512);
    const QSize box(std::atoi(argv[1]), std::atoi(argv[2]));
    std::vector<double> scaled, full, thumb, convertWhole, convertFitted;
    // As the viewer converts a picture whose file embeds a profile (see platform/qt/image/screen_colours.cpp).
    const auto convertTime = [](QImage& image) {
        image.setColorSpace(QColorSpace::DisplayP3);
        QElapsedTimer t;
        t.start();
        image.convertToColorSpace(QColorSpace::SRgb);
        return static_cast<double>(t.nsecsElapsed()) / 1e6;
    };
    QImage buffer;
    for (int i = 3; i < argc; ++i) {
        const QString file = QString::fromLocal8Bit(argv[i]);
        QElapsedTimer t;
        t.start();
        {
            QImageReader reader(file);
            reader.setScaledSize(reader.size().scaled(box, Qt::KeepAspectRatio));
            QImage fitted = reader.read();
            if (fitted.isNull()) return 1;
            scaled.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
            convertFitted.push_back(convertTime(fitted));
        }
        t.restart();
        {
            QImageReader reader(file);
            if (!reader.read(&buffer)) return 1;
            full.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
            convertWhole.push_back(convertTime(buffer));
        }
        t.restart();
        {
            QImageReader reader(file);
            reader.setScaledSize(QSize(50, 50));
            if (reader.read().isNull()) return 1;
        }
        thumb.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    std::printf("%d files: scaled to fit %dx%d median %.1f ms; full into memory used before %.1f ms; 50x50 %.1f ms\n",
                argc - 3, box.width(), box.height(), median(scaled), median(full), median(thumb));
    std::printf("Display P3 to sRGB: whole %.1f ms, fitted %.1f ms (medians)\n", median(convertWhole),
                median(convertFitted));
    return 0;
}
