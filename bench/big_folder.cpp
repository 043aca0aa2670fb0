// SPDX-License-Identifier: GPL-3.0-or-later
// Drives the real main window over a big folder: File > "Select and open Image files", the picture chosen in
// the real file dialog and the dialog confirmed; from the confirmation to the first picture drawn, with the
// longest stall of the event loop meanwhile; then a walk of a few steps.
//
//   big_folder FOLDER/first.jpg [STEPS]

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "bench/drive.h"
#include "platform/qt/view/browser_view.h"
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
    gb::qt::WindowView& view = viewer.view;
    auto* page = qobject_cast<gb::qt::BrowserView*>(view.widgetFor(&form.WebBrwI));
    QString lastDrawn;
    QObject::connect(page, &gb::qt::BrowserView::pictureDrawn,
                     [&](const QString& path, QSize) { QTimer::singleShot(0, [&, path] { lastDrawn = path; }); });
    const auto drawn = [&] { return !lastDrawn.isEmpty() && lastDrawn == gb::qt::toQString(form.DoveShow.text()); };
    viewer.start();
    waitFor([&] { return view.isVisible(); }, 5000);

    StallMeter stalls;
    QElapsedTimer clock;
    const QString first = QString::fromLocal8Bit(argv[1]);
    // The dialog runs its own event loop: it is answered from a timer, as a user would, once it is up.
    bool confirmed = false;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) return;
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (name == nullptr) return;
        answer.stop();
        name->setText(first);  // the path typed into the name field
        confirmed = true;
        clock.start();
        stalls.reset();
        static_cast<QDialog*>(dialog)->accept();  // what the Open button does
    });
    answer.start(50);
    QTimer::singleShot(0, [&] { form.menuFileScegli_Click(); });
    const bool shown = waitFor([&] { return confirmed && form.queue.queueCount() > 0 && drawn(); }, 120000);
    std::printf("%d images: dialog confirmed to first picture drawn %lld ms, longest event-loop stall %lld ms%s\n",
                form.queue.queueCount(), static_cast<long long>(clock.elapsed()),
                static_cast<long long>(stalls.longest()), shown ? "" : " TIMEOUT");

    clock.restart();
    stalls.reset();
    for (int i = 0; i < steps; ++i) {
        const std::string before = form.DoveShow.text();
        form.menuSAvanti_Click();
        waitFor([&] { return form.DoveShow.text() != before && drawn(); }, 10000);
    }
    std::printf("%d steps forward, each drawn: %lld ms in all (longest stall %lld ms), %s\n", steps,
                static_cast<long long>(clock.elapsed()), static_cast<long long>(stalls.longest()),
                form.Slab(2).caption().c_str());
    return shown ? 0 : 1;
}
