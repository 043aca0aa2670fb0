// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/viewer.h"
#include "platform/qt/image/decoder.h"
#include "queue/open_path.h"

#include <QGuiApplication>
#include <QImageReader>
#include <QScreen>

#include "app/texts.h"
#include "help/form3.h"
#include "platform/qt/command_line.h"
#include "platform/qt/view/file_drops.h"
#include "suspend/form2.h"

namespace gb::qt {

namespace {
platform::ScreenSize screenSize(QSize given) {
    const QSize size = given.isEmpty() ? QGuiApplication::primaryScreen()->size() : given;
    return {size.width(), size.height()};
}
}  // namespace

Viewer::Viewer(QSize screen)
    : services{events, loader, loader, files, trash, fileDialog, messages, screenSize(screen)},
      form(services),
      view({&form.window, form.controls(), form.menuBar(), {&form.TempoSlide}}, loader) {
    // Qt's default refuses an ordinary 48-megapixel photo; headers claiming more than this are refused anyway.
    QImageReader::setAllocationLimit(imageAllocationLimitMb);
    form.onForm2Created = [this](Form2& form2) {
        suspendedView = std::make_unique<WindowView>(WindowContent{&form2.window, form2.controls(), {}, {}}, loader);
    };
    form.showModal = [this](Form3& about) { showModal({&about.window, about.controls(), {}, {}}, loader, &view); };
    // A neighbour whose header came too late to be asked for ahead (a slow disk) is asked for once it is there.
    QObject::connect(&loader, &ImageLoader::headerKnown, &loader, [this] { form.preloadAround(); });
    new FileDrops(view, [this](const std::vector<std::string>& paths) {
        // As with the open dialog, a second folder is opened once the one shown is cleared.
        if (!form.menuFileScegli.enabled()) {
            tell("To open another folder, choose \"" + form.menuFileAnnulla.caption() +
                 "\" in the File menu first, then drop it again.");
            return;
        }
        open(paths);
    });
}

void Viewer::tell(const std::string& text) {
    messages.show({text, texts::productName, platform::MessageButtons::Ok, platform::MessageIcon::Exclamation,
                   platform::MessageAnswer::Ok});
}

void Viewer::open(const std::vector<std::string>& given) {
    if (given.empty()) return;
    const OpenRequest request = openRequest(given, files);
    if (request.path.empty()) tell("Cannot open " + shownPath(given.front()) + ": " + request.why + ".");
    else openFromCommandLine(form, request.path);
    if (!request.notOpened.empty()) tell(notOpenedText(request.notOpened));
}

void Viewer::start() {
    form.Form_Load();
    form.window.setVisible(true);
    // The scan fills the suspended-images window's lists; its view exists before anything is shown in it.
    form.form2();
}

}  // namespace gb::qt
