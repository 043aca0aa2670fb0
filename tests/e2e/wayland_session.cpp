// SPDX-License-Identifier: GPL-3.0-or-later
// A session on a Wayland compositor that has no input devices to drive (weston's headless backend): the real
// main window, keys sent through the application as the platform delivers them, window states asked of and
// configured by the compositor. Prints each step; exits 0 only if every step left the window as it should.
//
//   wayland_session FOLDER

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <filesystem>
#include <string>

#include "bench/drive.h"
#include "platform/qt/viewer.h"
#include "queue/open_path.h"

namespace {

// A key as the platform plugin hands it over: to the window, which gives it to the focused control.
void press(QWidget* window, int key) { QTest::keyClick(window->windowHandle(), Qt::Key(key)); }

// Answers every message box that opens with the button asked for, and counts the boxes and their texts.
class BoxAnswerer {
public:
    explicit BoxAnswerer(QObject* owner) : timer_(owner) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { answer(); });
        timer_.start(20);
    }
    void reply(QMessageBox::StandardButton button) { reply_ = button; }
    int boxes() const { return boxes_; }
    const QString& lastText() const { return lastText_; }

private:
    void answer() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || box == seen_ || !box->isVisible()) return;
        seen_ = box;
        ++boxes_;
        lastText_ = box->text();
        QApplication::setActiveWindow(box);  // as a compositor with a keyboard activates a new dialog
        QAbstractButton* button = box->button(box->button(reply_) ? reply_ : QMessageBox::Ok);
        if (button) QTimer::singleShot(100, button, &QAbstractButton::click);
    }
    QTimer timer_;
    QPointer<QMessageBox> seen_;
    QMessageBox::StandardButton reply_ = QMessageBox::No;
    int boxes_ = 0;
    QString lastText_;
};

int fileCount(const std::string& folder) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) count += entry.is_regular_file() ? 1 : 0;
    return count;
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

    // One key, one command, also when the command opens a box: each "z" below opens exactly one box, and the
    // folder loses at most the file on show. The headless compositor has no seat and activates no window; the
    // session activates the main window and each box as a compositor with a keyboard would, so that keys reach
    // the focused control and travel on from it as they do on a desktop.
    QApplication::setActiveWindow(&window);
    BoxAnswerer answerer(&window);
    const int files = fileCount(folder);
    const auto oneBoxAfter = [&](int key, int boxesBefore) {
        press(&window, key);
        wait([&] { return answerer.boxes() > boxesBefore; });
        pause(800);  // a second run of the key would open its box within this time
        return answerer.boxes() == boxesBefore + 1;
    };
    form.menuNobin_Click();
    answerer.reply(QMessageBox::No);
    expect(oneBoxAfter(Qt::Key_Z, 0) && fileCount(folder) == files, "erase now, z, No: one box, nothing erased");
    answerer.reply(QMessageBox::Yes);
    const std::string first = form.queue.currentPath();
    expect(oneBoxAfter(Qt::Key_Z, 1) && fileCount(folder) == files - 1 && !std::filesystem::exists(first),
           "erase now, z, Yes: one box, the file on show alone erased");
    form.menuBin_Click();
    std::filesystem::remove(form.queue.currentPath());
    expect(oneBoxAfter(Qt::Key_Z, 2) && answerer.lastText().contains("could not be moved to the trash") &&
               fileCount(folder) == files - 2,
           "trash, z on a file removed behind the viewer: one message, no other file moved");

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
