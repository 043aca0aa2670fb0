// Glimmerbox start-up: the services on Qt, the main window's logic, and its view.

#include <QApplication>
#include <string>
#include <QCommandLineParser>

#include "platform/qt/command_line.h"
#include "platform/qt/qt_services.h"
#include "platform/qt/viewer.h"

namespace {
void describe(QCommandLineParser& parser) {
    parser.setApplicationDescription("Glimmerbox shows the pictures (jpg, jpeg, gif, bmp) of one folder.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("path", "A picture to start from, or a folder to show from its first picture.",
                                 "[FILE|FOLDER]");
}

// --help, --version and mistyped options are answered without a display, so they work from any terminal.
void answerWithoutWindow(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] != '-' || std::string(argv[i]) == "--") return;
    }
    if (argc < 2) return;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("glimmerbox");
    QCoreApplication::setApplicationVersion(GLIMMERBOX_VERSION);
    QCommandLineParser parser;
    describe(parser);
    parser.process(app);  // exits after answering
}

}  // namespace

int main(int argc, char* argv[]) {
    answerWithoutWindow(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName("glimmerbox");
    QApplication::setApplicationVersion(GLIMMERBOX_VERSION);
    QApplication::setDesktopFileName("glimmerbox");

    QCommandLineParser parser;
    describe(parser);
    parser.process(app);

    gb::qt::Viewer viewer;
    viewer.start();
    if (!parser.positionalArguments().isEmpty()) {
        // The path as the shell gave it, byte for byte (a name need not be UTF-8), made absolute.
        const std::string raw = argv[argc - 1];
        std::string why;
        const std::string path = gb::qt::openablePath(raw, why);
        // Opened once the window stands at its real size: the picture's place depends on the browser's height.
        QObject::connect(&viewer.view, &gb::qt::WindowView::firstShown, &viewer.view, [&viewer, path, raw, why] {
            if (!path.empty()) {
                viewer.form.openFromCommandLine(path);
                return;
            }
            viewer.messages.show({"Cannot open " + raw + ": " + why + ".",
                                  "Glimmerbox", gb::platform::MessageButtons::Ok, gb::platform::MessageIcon::Exclamation,
                                  gb::platform::MessageAnswer::Ok});
        });
    }
    return QApplication::exec();
}
