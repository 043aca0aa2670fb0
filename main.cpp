// Glimmerbox start-up: the services on Qt, the main window's logic, and its view.

#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <string>
#include <QCommandLineParser>
#include <QTimer>
#include <QImageReader>
#include <QScreen>

#include "app/form1.h"
#include "platform/qt/image_loader.h"
#include "platform/qt/qt_services.h"
#include "platform/qt/window_view.h"

namespace {
std::string absolutePath(const std::string& raw) {
    if (char* resolved = ::realpath(raw.c_str(), nullptr)) {
        std::string path = resolved;
        std::free(resolved);
        return path;
    }
    if (!raw.empty() && raw.front() == '/') return raw;
    std::string cwd(4096, '\0');
    return (::getcwd(cwd.data(), cwd.size()) ? std::string(cwd.c_str()) : std::string()) + "/" + raw;
}
}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("glimmerbox");
    QApplication::setApplicationVersion(GLIMMERBOX_VERSION);
    QApplication::setDesktopFileName("glimmerbox");
    QImageReader::setAllocationLimit(gb::qt::imageAllocationLimitMb);

    QCommandLineParser parser;
    parser.setApplicationDescription("Glimmerbox shows the pictures (jpg, jpeg, gif, bmp) of one folder.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("path", "A picture to start from, or a folder to show from its first picture.",
                                 "[FILE|FOLDER]");
    parser.process(app);

    gb::qt::QtEventQueue events;
    gb::qt::QtImageProbe probe;
    gb::qt::QtFileSystem files;
    gb::qt::QtTrash trash;
    gb::qt::QtFileDialog fileDialog;
    gb::qt::QtMessageBoxes messages;
    const QSize screen = QGuiApplication::primaryScreen()->size();
    gb::platform::Services services{events, probe, files, trash, fileDialog, messages, {screen.width(), screen.height()}};

    gb::Form1 form(services);
    gb::qt::ImageLoader loader;
    gb::qt::WindowView view({&form.window, form.controls(), form.menuBar(), {&form.TempoSlide}}, loader);
    std::unique_ptr<gb::qt::WindowView> suspendedView;
    form.onForm2Created = [&](gb::Form2& form2) {
        suspendedView = std::make_unique<gb::qt::WindowView>(gb::qt::WindowContent{&form2.window, form2.controls(), {}, {}},
                                                             loader);
    };
    form.showModal = [&](gb::Form3& about) { gb::qt::showModal({&about.window, about.controls(), {}, {}}, loader, &view); };
    form.Form_Load();
    form.window.setVisible(true);
    form.form2();  // the scan fills its lists; created now, its view exists before anything is shown in it
    if (!parser.positionalArguments().isEmpty()) {
        // The path as the shell gave it, byte for byte (a name need not be UTF-8), made absolute.
        const std::string path = absolutePath(argv[argc - 1]);
        QTimer::singleShot(0, &view, [&form, path] { form.openFromCommandLine(path); });
    }
    return QApplication::exec();
}
