// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/qt/on_screen.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>

#include "platform/qt/byte_paths.h"
#include "platform/qt/view/browser_view.h"
#include "queue/open_path.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

namespace gb::test {

DataHome::DataHome(const QString& path) { qputenv("XDG_DATA_HOME", QFile::encodeName(path)); }

DataHome::~DataHome() {
    if (saved.isEmpty()) qunsetenv("XDG_DATA_HOME");
    else qputenv("XDG_DATA_HOME", saved);
}

OnScreen::OnScreen() {
    viewer->start();
    QApplication::processEvents();  // the window shows once the handler has returned
}

void OnScreen::open(const QString& name) { openFromCommandLine(form, qt::toStdString(file(name))); }

bool OnScreen::shows(const std::string& path, int ms) {
    return QTest::qWaitFor([&] { return form.WebBrwI.locationURL() == path && form.WebBrwI.readyState() == 4; }, ms);
}

QWidget* OnScreen::imagePage() const {
    return static_cast<qt::BrowserView*>(viewer->view.widgetFor(&form.WebBrwI))->viewport();
}

QRect OnScreen::drawnBox(const std::function<bool(QColor)>& wanted, QSize size, int ms) {
    QRect box;
    (void)QTest::qWaitFor(
        [&] {
            const QImage shot = imagePage()->grab().toImage();
            box = QRect();
            for (int y = 0; y < shot.height(); ++y)
                for (int x = 0; x < shot.width(); ++x)
                    if (wanted(shot.pixelColor(x, y))) box |= QRect(x, y, 1, 1);
            return size.isValid() ? box.size() == size : !box.isEmpty();
        },
        ms);
    return box;
}

namespace {

// A field of /proc/PID/status in KiB (VmRSS, VmHWM); 0 once the process is gone.
long statusKiB(const QString& pid, const QByteArray& field) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field + ':')) return line.mid(field.size() + 1).trimmed().split(' ').value(0).toLong();
    return 0;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool sanitized = true;
#else
constexpr bool sanitized = false;
#endif

// The decoder helpers running now: the children of every thread of this process. Under the address sanitizer,
// whose shadow memory and quarantine of freed blocks swell every helper whatever it decodes, none are counted.
QStringList helpers() {
    QStringList pids;
    if (sanitized) return pids;
    for (const QString& task : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile children(QStringLiteral("/proc/self/task/%1/children").arg(task));
        if (children.open(QIODevice::ReadOnly))
            pids += QString::fromLatin1(children.readAll()).split(' ', Qt::SkipEmptyParts);
    }
    return pids;
}

// The resident memory of this process and its helpers together, read every 10 ms: helpers come and go, so each
// one's own peak cannot be added up afterwards.
class MemoryWatch {
public:
    MemoryWatch()
        : thread_([this](const std::stop_token& stop) {
              while (!stop.stop_requested()) {
                  {
                      const std::lock_guard reading(reading_);
                      long kib = statusKiB(QStringLiteral("self"), "VmRSS");
                      for (const QString& pid : helpers()) kib += statusKiB(pid, "VmRSS");
                      if (kib > peak_) peak_ = kib;
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(10));
              }
          }) {}
    long peakKiB() const { return peak_; }
    std::unique_lock<std::mutex> hold() { return std::unique_lock(reading_); }

private:
    std::atomic<long> peak_{0};
    std::mutex reading_;  // held while a reading allocates
    std::jthread thread_;
};

MemoryWatch& watch() {
    static MemoryWatch watching;
    return watching;
}

}  // namespace

long peakMiB() {
    // Between two readings: each process's own peak, for those running now.
    long now = statusKiB(QStringLiteral("self"), "VmHWM");
    for (const QString& pid : helpers()) now += statusKiB(pid, "VmHWM");
    return std::max(now, watch().peakKiB()) / 1024;
}

void watchMemory() { (void)watch(); }

std::unique_lock<std::mutex> holdMemoryWatch() { return watch().hold(); }

}  // namespace gb::test
