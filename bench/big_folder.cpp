// Drives the real main window over a big folder: from the command-line path to the first picture drawn, with
// the longest stall of the event loop while the folder is scanned, then a walk of a few steps.
//
//   big_folder FOLDER/first.jpg [STEPS]

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "bench/drive.h"
#include "platform/qt/viewer.h"

using gb::bench::StallMeter;
using gb::bench::waitFor;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: big_folder FOLDER/first.jpg [STEPS]\n");
        return 2;
    }
    const int steps = argc > 2 ? std::atoi(argv[2]) : 20;
    gb::qt::Viewer viewer;
    gb::Form1& form = viewer.form;
    gb::qt::ImageLoader& loader = viewer.loader;
    gb::qt::WindowView& view = viewer.view;
    viewer.start();
    waitFor([&] { return view.isVisible(); }, 5000);

    StallMeter stalls;
    QElapsedTimer clock;
    const std::string first = argv[1];
    const auto drawn = [&] {
        const QString path = gb::qt::toQString(form.DoveShow.text());
        return form.WebBrwI.readyState() == 4 && form.shownWidth > 0 &&
               !loader.image(path, QSize(form.shownWidth, form.shownHeight)).isNull();
    };
    clock.start();
    stalls.reset();
    QTimer::singleShot(0, [&] { form.openFromCommandLine(first); });
    const bool shown = waitFor([&] { return form.queueCount > 0 && drawn(); }, 120000);
    std::printf("%d images: path to first picture drawn %lld ms, longest event-loop stall %lld ms%s\n",
                form.queueCount, static_cast<long long>(clock.elapsed()), static_cast<long long>(stalls.longest()),
                shown ? "" : " TIMEOUT");

    clock.restart();
    stalls.reset();
    for (int i = 0; i < steps; ++i) {
        form.menuSAvanti_Click();
        waitFor(drawn, 10000);
    }
    std::printf("%d steps forward, each drawn: %lld ms in all (longest stall %lld ms), %s\n", steps,
                static_cast<long long>(clock.elapsed()), static_cast<long long>(stalls.longest()),
                form.Slab(2).caption().c_str());
    return 0;
}
