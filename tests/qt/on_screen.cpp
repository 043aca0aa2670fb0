#include "tests/qt/on_screen.h"

#include <QApplication>
#include <QFile>
#include <QTest>

#include "platform/qt/byte_paths.h"
#include "platform/qt/view/browser_view.h"
#include "queue/open_path.h"

namespace gb::test {

OnScreen::OnScreen() {
    qputenv("XDG_DATA_HOME", QFile::encodeName(file("data")));
    viewer->start();
    QApplication::processEvents();  // the window shows once the handler has returned
}

OnScreen::~OnScreen() {
    if (savedDataHome.isEmpty()) qunsetenv("XDG_DATA_HOME");
    else qputenv("XDG_DATA_HOME", savedDataHome);
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

}  // namespace gb::test
