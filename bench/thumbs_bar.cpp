// Drives the real main window over a folder: shows the thumbnail bar, waits until the thumbnails in view are
// drawn, then scrolls the bar to its end page by page; reports the times and the longest stall of the event
// loop meanwhile.
//
//   thumbs_bar FOLDER/first.jpg

#include <QApplication>
#include <QElapsedTimer>
#include <QImageReader>
#include <QScrollBar>
#include <QScreen>
#include <QTimer>
#include <cstdio>

#include "app/form1.h"
#include "platform/qt/browser_view.h"
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
        connect(&timer_, &QTimer::timeout, this, [this] {
            longest_ = std::max(longest_, clock_.restart());
        });
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
        std::fprintf(stderr, "usage: thumbs_bar FOLDER/first.jpg\n");
        return 2;
    }
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
