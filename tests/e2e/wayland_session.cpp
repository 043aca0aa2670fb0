// SPDX-License-Identifier: GPL-3.0-or-later
// A session on a Wayland compositor that has no input devices to drive (weston's headless backend): the real
// main window, keys sent through the application as the platform delivers them, window states asked of and
// configured by the compositor. Prints each step; exits 0 only if every step left the window as it should.
//
//   wayland_session FOLDER

#include <QApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <string>

#include "bench/drive.h"
#include "platform/qt/viewer.h"
#include "queue/open_path.h"

namespace {

void press(QWidget* window, int key) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : window;
    QApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier));
    QApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier));
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: wayland_session FOLDER\n");
        return 2;
    }
    gb::qt::Viewer viewer;
    gb::Form1& form = viewer.form;
    QWidget& window = viewer.view;
    int failures = 0;
    const auto expect = [&](bool ok, const char* what) {
        std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
        std::fflush(stdout);
        if (!ok) ++failures;
    };
    const auto wait = [](const std::function<bool()>& done, int ms = 5000) { return gb::bench::waitFor(done, ms); };
    const auto pause = [&](int ms) { wait([] { return false; }, ms); };
    // Full screen as the compositor configured it: the state and the whole output.
    const auto fullScreen = [&] {
        return window.windowHandle() && (window.windowHandle()->windowStates() & Qt::WindowFullScreen) &&
               window.size() == window.screen()->size() && form.menuFit.checked();
    };

    viewer.start();
    const std::string folder = argv[1];
    QTimer::singleShot(0, &window, [&] { openFromCommandLine(form, folder); });
    expect(wait([&] { return form.queue.queueCount() > 0 && window.isVisible(); }, 20000), "opened the folder");

    press(&window, Qt::Key_Escape);
    expect(wait(fullScreen), "Esc: full screen");
    for (int i = 1; i <= 3; ++i) {
        const int before = form.queue.queuePos();
        press(&window, Qt::Key_Return);
        expect(wait([&] { return form.queue.queuePos() == before + 1; }), "Enter: the next picture");
        pause(400);
        expect(fullScreen(), "Enter: still full screen");
    }
    // An interval of one second, then the slideshow's own tick.
    form.Pausa.userPick(0);
    const int before = form.queue.queuePos();
    expect(wait([&] { return form.queue.queuePos() == before + 1; }, 3000), "slideshow tick: the next picture");
    pause(400);
    expect(fullScreen(), "slideshow tick: still full screen");

    press(&window, Qt::Key_Escape);
    expect(wait([&] { return !form.menuFit.checked() && window.isMaximized() && !window.isFullScreen(); }),
           "Esc: maximised again");
    pause(400);
    expect(window.isMaximized() && !window.isFullScreen(), "Esc: still maximised");

    window.close();
    std::printf("%d failed\n", failures);
    return failures == 0 ? 0 : 1;
}
