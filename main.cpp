// Glimmerbox start-up: the services on Qt, the main window's logic, and its view.

#include <unistd.h>

#include <QApplication>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <QCommandLineParser>

#include "platform/qt/qt_services.h"
#include "platform/qt/viewer.h"

namespace {
std::string resolved(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) return {};
    std::string result = real;
    std::free(real);
    return result;
}

// The path made absolute, its folder resolved but not a link at its end: the name the user gave is the one shown
// and acted on (a z.jpg that links elsewhere stays z.jpg). Empty, with the reason in `why`, when the folder's
// own path cannot be known (a working folder deeper than the system's path limit): never a guess.
std::string absolutePath(const std::string& raw, std::string& why) {
    const auto slash = raw.rfind('/');
    const std::string name = slash == std::string::npos ? raw : raw.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") {
        if (std::string whole = resolved(raw); !whole.empty()) return whole;
    } else {
        const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : raw.substr(0, slash);
        if (std::string real = resolved(folder); !real.empty()) return (real == "/" ? "" : real) + "/" + name;
    }
    if (!raw.empty() && raw.front() == '/') return raw;
    std::string cwd(4096, '\0');
    while (!::getcwd(cwd.data(), cwd.size())) {
        if (errno != ERANGE) {
            why = std::strerror(errno);
            return {};
        }
        cwd.resize(cwd.size() * 2);
    }
    return std::string(cwd.c_str()) + "/" + raw;
}

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
        const std::string path = absolutePath(raw, why);
        // Opened once the window stands at its real size: the picture's place depends on the browser's height.
        QObject::connect(&viewer.view, &gb::qt::WindowView::firstShown, &viewer.view, [&viewer, path, raw, why] {
            if (!path.empty()) {
                viewer.form.openFromCommandLine(path);
                return;
            }
            viewer.messages.show({"Cannot open " + raw + ": the path of the current folder cannot be read (" + why + ").",
                                  "Glimmerbox", gb::platform::MessageButtons::Ok, gb::platform::MessageIcon::Exclamation,
                                  gb::platform::MessageAnswer::Ok});
        });
    }
    return QApplication::exec();
}
