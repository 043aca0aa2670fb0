// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/qt/on_screen.h"

#include <sys/resource.h>

#include <QApplication>
#include <QFile>
#include <QTest>

#include "platform/qt/byte_paths.h"
#include "platform/qt/view/browser_view.h"
#include "queue/open_path.h"

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

long peakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

}  // namespace gb::test
