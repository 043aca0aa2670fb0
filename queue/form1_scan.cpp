// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>

#include "app/form1.h"
#include "app/texts.h"
#include "queue/image_types.h"
#include "suspend/form2.h"

namespace gb {

void Form1::ScanFolder() {
    const std::string starting = queue.onShow();
    if (starting.empty()) return;
    Form2& lists = form2();
    // A new folder's queue: the file picked stays on show while the folder is read.
    queue.clear();
    queue.setOnShow(starting);
    lists.clearSuspended();
    // A folder path naming a file (the starting file itself) loses that name; a folder whose name merely ends
    // like an image type keeps it.
    if (services.files.isFile(choice.folderPath)) {
        const auto sep = choice.folderPath.rfind(choice.pathSep);
        if (sep != std::string::npos) choice.folderPath.erase(sep);
    }
    if (!choice.folderPath.empty() && choice.folderPath.back() == '/') {
        choice.folderPath.pop_back();
        choice.pathSep.assign(1, '/');
    }

    const std::string folder = choice.folderPath.empty() ? std::string("/") : choice.folderPath;
    std::vector<std::string> names = services.files.listFiles(folder, choice.dirPattern);
    // The jpg filter offers .jpeg files too, so it queues them.
    if (choice.dirPattern == "*.jpg") {
        const auto jpeg = services.files.listFiles(folder, "*.jpeg");
        names.insert(names.end(), jpeg.begin(), jpeg.end());
    }
    // The lists place every name at its sorted place; given in that order already, each one goes to the end,
    // which keeps a folder of tens of thousands of names fast. Equal names keep their listing order.
    std::stable_sort(names.begin(), names.end(), platform::sortsBefore);
    if (names.empty()) {
        services.messages.show({texts::checkFolder, texts::errorTitle, platform::MessageButtons::Ok,
                                platform::MessageIcon::Critical, platform::MessageAnswer::Ok});
        return;
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) services.events.processPending();
        choice.dirEntry = names[i];
        AddIfImage();
    }

    queue.startBefore(choice.startFile);
    if (queue.queueCount() > 0) menuSAvanti_Click();
    slideshow.pause();
    lists.writeCounters();
    Tastiera.setFocus();
    BuildThumbsPage();
}

void Form1::AddIfImage() {
    if (isImageName(choice.dirEntry))
        queue.append(choice.folderPath + choice.pathSep + choice.dirEntry, choice.dirEntry);
}

void Form1::menuFileAnnulla_Click() {
    menuFileScegli.setEnabled(true);
    if (queue.onShow().empty()) return;
    queue.clear();
    if (menuThumb.checked()) {
        menuThumb.setChecked(false);
        placeThumbsBar(false);
    }
    setImageMenus(false);
    WebBrwI.Navigate2(platform::aboutBlank);
    WebBrwT.Navigate2(platform::aboutBlank);
    labelShow.setCaption(queue.onShow());
}

}  // namespace gb
