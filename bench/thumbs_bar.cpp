// Drives the real main window over a folder: shows the thumbnail bar, waits until the thumbnails in view are
// drawn, then scrolls the bar to its end page by page; reports the times and the longest stall of the event
// loop meanwhile.
//
//   thumbs_bar FOLDER/first.jpg

#include <QApplication>
#include <QScrollBar>
#include <QTimer>
#include <cstdio>

#include "bench/drive.h"
#include "platform/qt/browser_view.h"
#include "platform/qt/viewer.h"

using gb::bench::StallMeter;
using gb::bench::waitFor;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: thumbs_bar FOLDER/first.jpg\n");
        return 2;
    }
    gb::qt::Viewer viewer;
    gb::Form1& form = viewer.form;
    gb::qt::ImageLoader& loader = viewer.loader;
    gb::qt::WindowView& view = viewer.view;
    viewer.start();
    waitFor([&] { return view.isVisible(); }, 5000);

    QElapsedTimer clock;
    clock.start();
    form.openFromCommandLine(argv[1]);
    std::printf("scan of %d images: %lld ms\n", form.queueCount, static_cast<long long>(clock.elapsed()));

    StallMeter stalls;
    auto* bar = qobject_cast<gb::qt::BrowserView*>(view.widgetFor(&form.WebBrwT));
    const auto inViewReady = [&] {
        const int pitch = std::max(1, form.HDocBrwT->scrollHeight() / std::max(1, form.queueCount));
        const int first = bar->verticalScrollBar()->value() / pitch;
        const int last = std::min(form.queueCount - 1, (bar->verticalScrollBar()->value() + bar->viewport()->height()) / pitch);
        for (int i = first; i <= last; ++i)
            if (loader.image(gb::qt::toQString(form.DoveShow.listItem(i)), QSize(50, 50)).isNull()) return false;
        return true;
    };
    clock.restart();
    stalls.reset();
    form.menuThumb_Click();
    const bool shown = waitFor(inViewReady, 60000);
    std::printf("bar shown, thumbnails in view drawn: %lld ms (longest stall %lld ms)%s\n",
                static_cast<long long>(clock.elapsed()), static_cast<long long>(stalls.longest()), shown ? "" : " TIMEOUT");

    clock.restart();
    stalls.reset();
    QScrollBar* scroll = bar->verticalScrollBar();
    bool all = true;
    while (true) {
        all = waitFor(inViewReady, 60000) && all;
        if (scroll->value() >= scroll->maximum()) break;
        scroll->setValue(scroll->value() + scroll->pageStep());
    }
    std::printf("scrolled to the end, every thumbnail drawn: %lld ms (longest stall %lld ms)%s\n",
                static_cast<long long>(clock.elapsed()), static_cast<long long>(stalls.longest()), all ? "" : " TIMEOUT");
    return 0;
}
