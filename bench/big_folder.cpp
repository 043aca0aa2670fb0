// Drives the real main window over a big folder: from the command-line path to the first picture drawn, with
// the longest stall of the event loop while the folder is scanned, then a walk of a few steps.
//
//   big_folder FOLDER/first.jpg [STEPS]

#include <QApplication>
#include <QElapsedTimer>
#include <QImageReader>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/form1.h"
#include "platform/qt/image_loader.h"
#include "platform/qt/qt_services.h"
#include "platform/qt/window_view.h"

namespace {

// The longest time between two turns of the event loop.
class StallMeter : public QObject {
public:
    StallMeter() {
        clock_.start();
        timer_.setInterval(1);
        connect(&timer_, &QTimer::timeout, this, [this] { longest_ = std::max(longest_, clock_.restart()); });
        timer_.start();
    }
    qint64 longest() const { return longest_; }
    void reset() {
        longest_ = 0;
        clock_.restart();
    }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 longest_ = 0;
};

bool waitFor(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: big_folder FOLDER/first.jpg [STEPS]\n");
        return 2;
    }
    const int steps = argc > 2 ? std::atoi(argv[2]) : 20;
    QImageReader::setAllocationLimit(gb::qt::imageAllocationLimitMb);
    gb::qt::QtEventQueue events;
    gb::qt::QtImageProbe probe;
    gb::qt::QtFileSystem files;
    gb::qt::QtTrash trash;
    gb::qt::QtFileDialog dialog;
    gb::qt::QtMessageBoxes messages;
    const QSize screen = QGuiApplication::primaryScreen()->size();
    gb::platform::Services services{events, probe, files, trash, dialog, messages, {screen.width(), screen.height()}};
    gb::Form1 form(services);
    gb::qt::ImageLoader loader;
    gb::qt::WindowView view({&form.window, form.controls(), form.menuBar(), {&form.TempoSlide}}, loader);
    form.Form_Load();
    form.window.setVisible(true);
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
