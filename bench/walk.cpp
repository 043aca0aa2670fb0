// SPDX-License-Identifier: GPL-3.0-or-later
// Drives the real main window through a folder as a user holding the keys would: the picture given on the
// command line is opened as the program opens it, optionally Esc for full screen, then Enter as soon as each
// picture is drawn (or after a dwell on it) until the last one. Prints the time from each Enter to the next
// picture drawn on the screen, the whole walk and the peak memory of the process; exits at the end.
//
//   walk FOLDER/first.jpg [--full-screen] [--dwell MS] [--no-preload] [--steps N]
//
// --steps 0 ends once the first picture is drawn (start-up time, measured from outside the process).

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "bench/drive.h"
#include "platform/qt/view/browser_view.h"
#include "platform/qt/viewer.h"
#include "queue/open_path.h"

using gb::bench::waitFor;

namespace {

long peakMemoryKib() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

void pressKey(QWidget* window, int key) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : window;
    QApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier));
    QApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier));
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const auto i = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

}  // namespace

int main(int argc, char* argv[]) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: walk FOLDER/first.jpg [--full-screen] [--dwell MS] [--no-preload] [--steps N]\n");
        return 2;
    }
    bool fullScreen = false, preload = true;
    int dwellMs = 0, steps = -1;
    for (int i = 2; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--full-screen")) fullScreen = true;
        else if (!std::strcmp(argv[i], "--no-preload")) preload = false;
        else if (!std::strcmp(argv[i], "--dwell") && i + 1 < argc) dwellMs = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--steps") && i + 1 < argc) steps = std::atoi(argv[++i]);
    }

    gb::qt::Viewer viewer;
    gb::Form1& form = viewer.form;
    viewer.loader.setPreloading(preload);
    auto* page = qobject_cast<gb::qt::BrowserView*>(viewer.view.widgetFor(&form.WebBrwI));
    // The picture on show counts as drawn once it was painted and the event loop turned (the window was flushed).
    QString lastDrawn;
    QSize lastSize;
    QObject::connect(page, &gb::qt::BrowserView::pictureDrawn, [&](const QString& path, QSize size) {
        QTimer::singleShot(0, [&, path, size] {
            lastDrawn = path;
            lastSize = size;
        });
    });
    const auto drawn = [&] {
        return lastDrawn == gb::qt::toQString(form.DoveShow.text()) &&
               lastSize == QSize(form.page.shownWidth(), form.page.shownHeight());
    };

    viewer.start();
    const std::string first = argv[1];
    QTimer::singleShot(0, &viewer.view, [&] { openFromCommandLine(form, first); });
    if (!waitFor([&] { return form.queue.queueCount() > 0 && drawn(); }, 30000)) {
        std::fprintf(stderr, "the first picture was not drawn\n");
        return 1;
    }
    std::printf("first picture drawn %lld ms after the process started; peak memory %.1f MiB\n",
                static_cast<long long>(sinceStart.elapsed()), static_cast<double>(peakMemoryKib()) / 1024.0);
    if (steps == 0) return 0;
    if (fullScreen) {
        pressKey(&viewer.view, Qt::Key_Escape);
        if (!waitFor([&] { return form.menuFit.checked() && viewer.view.isFullScreen() && drawn(); }, 10000)) {
            std::fprintf(stderr, "full screen was not reached\n");
            return 1;
        }
    }
    if (steps < 0) steps = form.queue.queueCount() - form.queue.queuePos();

    std::vector<double> latencies;
    QElapsedTimer walk, step;
    walk.start();
    for (int i = 0; i < steps; ++i) {
        if (dwellMs > 0) waitFor([&] { return false; }, dwellMs);
        const QString before = gb::qt::toQString(form.DoveShow.text());
        step.start();
        pressKey(&viewer.view, Qt::Key_Return);
        if (!waitFor([&] { return gb::qt::toQString(form.DoveShow.text()) != before && drawn(); }, 30000)) {
            std::fprintf(stderr, "step %d: the picture was not drawn\n", i + 1);
            return 1;
        }
        latencies.push_back(static_cast<double>(step.nsecsElapsed()) / 1e6);
    }
    const double total = static_cast<double>(walk.elapsed());
    std::printf(
        "%d steps %s%s%s: Enter to drawn median %.1f ms, p95 %.1f ms, min %.1f, max %.1f; walk %.0f ms; "
        "peak memory %.1f MiB\n",
        steps, fullScreen ? "full-screen" : "normal", preload ? "" : " without preloading",
        dwellMs ? (" after " + std::to_string(dwellMs) + " ms on each").c_str() : "", percentile(latencies, 0.5),
        percentile(latencies, 0.95), percentile(latencies, 0), percentile(latencies, 1), total,
        static_cast<double>(peakMemoryKib()) / 1024.0);
    return 0;
}
