// SPDX-License-Identifier: GPL-3.0-or-later
// Drives the real main window over a folder: F2 shows the thumbnail bar; the bar is then scrolled page by page
// to its end, each page as soon as all its thumbnails were painted from decoded pictures. Reports the time
// from F2 to the last thumbnail drawn, the thumbnails per second, and the longest stall of the event loop.
//
//   thumbs_bar FOLDER/first.jpg

#include <QApplication>
#include <QKeyEvent>
#include <QScrollBar>
#include <QSet>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "bench/drive.h"
#include "platform/qt/view/browser_view.h"
#include "platform/qt/viewer.h"
#include "queue/open_path.h"

using gb::bench::StallMeter;
using gb::bench::waitFor;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: thumbs_bar FOLDER/first.jpg [--first-page]\n");
        return 2;
    }
    gb::qt::Viewer viewer;
    gb::Form1& form = viewer.form;
    gb::qt::WindowView& view = viewer.view;
    viewer.start();
    waitFor([&] { return view.isVisible(); }, 5000);

    QElapsedTimer clock;
    clock.start();
    // --first-page: stop once the thumbnails in view are drawn (a folder of 40,000 is not walked page by page).
    const bool firstPageOnly = argc > 2 && std::strcmp(argv[2], "--first-page") == 0;
    openFromCommandLine(form, argv[1]);
    auto* bar = qobject_cast<gb::qt::BrowserView*>(view.widgetFor(&form.WebBrwT));
    auto* page = qobject_cast<gb::qt::BrowserView*>(view.widgetFor(&form.WebBrwI));
    waitFor([&] { return form.page.shownWidth() > 0 && page->isVisible(); }, 10000);
    std::printf("scan of %d images and first picture: %lld ms\n", form.queue.queueCount(),
                static_cast<long long>(clock.elapsed()));
    waitFor([] { return false; }, 500);  // the picture's neighbours are preloaded meanwhile

    QSet<QString> drawn;
    QObject::connect(bar, &gb::qt::BrowserView::pictureDrawn, [&](const QString& path, QSize) { drawn.insert(path); });
    // The entries whose thumbnails lie in the bar's view now.
    const auto inView = [&] {
        QList<QString> paths;
        const int pitch = std::max(1, form.HDocBrwT->scrollHeight() / std::max(1, form.queue.queueCount()));
        const int y = bar->verticalScrollBar()->value();
        const int first = y / pitch;
        const int last = std::min(form.queue.queueCount() - 1, (y + bar->viewport()->height()) / pitch - 1);
        for (int i = first; i <= last; ++i) paths.append(gb::qt::toQString(form.DoveShow.listItem(i)));
        return paths;
    };
    const auto allDrawn = [&] {
        for (const QString& p : inView())
            if (!drawn.contains(p)) return false;
        return true;
    };

    StallMeter stalls;
    clock.restart();
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &view;
    QApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, Qt::Key_F2, Qt::NoModifier));
    QApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, Qt::Key_F2, Qt::NoModifier));
    const bool shown = waitFor([&] { return bar->isVisible() && allDrawn(); }, 60000);
    const qint64 firstPage = clock.elapsed();
    QScrollBar* scroll = bar->verticalScrollBar();
    bool all = shown;
    while (!firstPageOnly && scroll->value() < scroll->maximum()) {
        scroll->setValue(scroll->value() + scroll->pageStep());
        all = waitFor(allDrawn, 60000) && all;
    }
    const qint64 total = clock.elapsed();
    std::fprintf(stderr, "longest stall ended %lld ms after F2\n", static_cast<long long>(stalls.longestEnded()));
    std::printf(
        "F2 to the thumbnails in view drawn: %lld ms; to all %d drawn, page by page: %lld ms = %.0f per second; "
        "longest event-loop stall %lld ms%s\n",
        static_cast<long long>(firstPage), static_cast<int>(drawn.size()), static_cast<long long>(total),
        1000.0 * static_cast<double>(drawn.size()) / static_cast<double>(std::max<qint64>(1, total)),
        static_cast<long long>(stalls.longest()), all ? "" : " TIMEOUT");
    return all ? 0 : 1;
}
