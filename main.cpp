// SPDX-License-Identifier: GPL-3.0-or-later
// Glimmerbox start-up: the services on Qt, the main window's logic, and its view.

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/qt/image/sandbox/helper_pool.h"
#include "platform/qt/viewer.h"

namespace {
void describe(QCommandLineParser& parser) {
    parser.setApplicationDescription("Glimmerbox shows the pictures (jpg, jpeg, gif, bmp) of one folder.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("path",
                                 "A picture to start from, or a folder to show from its first picture. Of several, the "
                                 "first is opened; the others are in the queue when they lie in its folder.",
                                 "[FILE|FOLDER]...");
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
    // The version comes with the licence, as GNU programs say it.
    if (parser.parse(QCoreApplication::arguments()) && parser.isSet("version")) {
        std::printf(
            "glimmerbox %s\n"
            "Copyright (C) 2026 The Glimmerbox developers.\n"
            "License GPLv3+: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.\n"
            "This is free software: you are free to change and redistribute it.\n"
            "There is NO WARRANTY, to the extent permitted by law.\n",
            GLIMMERBOX_VERSION);
        std::exit(0);
    }
    parser.process(app);  // exits after answering
}

// Without any display Qt would abort with a core dump; this says why and ends with an error status. A platform
// chosen on the command line (Qt's own -platform option) or in the environment is Qt's to judge.
bool displayKnown(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-platform" || arg == "--platform") return true;
    }
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value && *value) return true;
    }
    std::fprintf(
        stderr,
        "glimmerbox: there is no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is set).\n");
    return false;
}

// The paths as the shell gave them, byte for byte (a name need not be UTF-8). The only options end the program
// before this (help, version, unknown), so every other argument is a path; "--" ends the options.
std::vector<std::string> givenPaths(int argc, char* argv[]) {
    std::vector<std::string> paths;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (options && arg == "--") {
            options = false;
            continue;
        }
        if (options && arg.size() > 1 && arg.front() == '-') continue;
        paths.push_back(arg);
    }
    return paths;
}

QIcon windowIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/glimmerbox-%1.png").arg(size), QSize(size, size));
    return icon;
}

// The window's icon comes a moment after the window shows: reading its six sizes is work the first picture need
// not wait for (the desktop finds the program's icon through its desktop entry meanwhile).
constexpr int iconAfterMs = 500;

}  // namespace

int main(int argc, char* argv[]) {
    answerWithoutWindow(argc, argv);
    if (!displayKnown(argc, argv)) return EXIT_FAILURE;
    // The helpers' launcher starts while the window is made, and forks one helper to read the first picture's
    // header and one to decode it; the others are forked once pictures are asked for.
    gb::sandbox::HelperPool::headers().warmUp();
    gb::sandbox::HelperPool::decoding().warmUp(1);
    QApplication app(argc, argv);
    QApplication::setApplicationName("glimmerbox");
    QApplication::setApplicationVersion(GLIMMERBOX_VERSION);
    QApplication::setDesktopFileName("io.github.glimmerbox.Glimmerbox");

    QCommandLineParser parser;
    describe(parser);
    parser.process(app);

    gb::qt::Viewer viewer;
    QObject::connect(&viewer.view, &gb::qt::WindowView::firstShown, &viewer.view,
                     [] { QTimer::singleShot(iconAfterMs, [] { QApplication::setWindowIcon(windowIcon()); }); });
    viewer.start();
    if (const std::vector<std::string> paths = givenPaths(argc, argv); !paths.empty()) {
        // Opened once the window stands at its real size: the picture's place depends on the browser's height.
        QObject::connect(&viewer.view, &gb::qt::WindowView::firstShown, &viewer.view,
                         [&viewer, paths] { viewer.open(paths); });
    }
    return QApplication::exec();
}
