// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"
#include "app/texts.h"
#include "queue/image_types.h"

namespace gb {

namespace {
void showWrongImage(platform::MessageBoxes& messages) {
    messages.show({texts::wrongImage, texts::productName, platform::MessageButtons::Ok, platform::MessageIcon::None,
                   platform::MessageAnswer::Ok});
}

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash == 0 ? 1 : slash);
}
}  // namespace

// The dialog's record keeps its filter index and starts in the current directory; a chosen file's folder
// becomes the current directory, as the system dialog leaves it.
std::string Form1::OpenImageDialog() {
    choice.dialogRecord.title = texts::dialogTitle;
    choice.dialogRecord.filters = {{"All image files", {"*.bmp", "*.gif", "*.jpg", "*.jpeg"}},
                                   {"Files *.jpg;*.jpeg", {"*.jpg", "*.jpeg"}},
                                   {"Files *.gif", {"*.gif"}}};
    choice.dialogRecord.initialFolder = services.files.currentDirectory();
    const auto answer = services.fileDialog.openFile(choice.dialogRecord);
    std::string result;
    if (answer) {
        choice.dialogRecord.filterIndex = answer->filterIndex;
        services.files.setCurrentDirectory(folderOf(answer->path));
        result = answer->path;
    }
    choice.fileTypeIndex = static_cast<Int16>(choice.dialogRecord.filterIndex);
    return result;
}

void Form1::menuFileScegli_Click() {
    if (choice.lastFolder.empty()) choice.lastFolder = services.files.currentDirectory();
    if (!services.files.setCurrentDirectory(choice.lastFolder)) {
        showWrongImage(services.messages);
        return;
    }
    choice.chosenFile = OpenImageDialog();
    // A folder whose path the system cannot give (deeper than its path limit) is not guessed at: an empty
    // folder path would stand for the root.
    const std::string current = services.files.currentDirectory();
    if (current.empty() && choice.chosenFile.find_first_not_of(' ') != std::string::npos) {
        showWrongImage(services.messages);
        return;
    }
    choice.lastFolder = current;
    choice.folderPath = choice.lastFolder;
    if (choice.chosenFile.find_first_not_of(' ') == std::string::npos) return;
    menuFileScegli.setEnabled(false);
    choice.startFile = choice.chosenFile;
    if (choice.chosenFile.find('.') == std::string::npos) {
        showWrongImage(services.messages);
        return;
    }
    switch (choice.fileTypeIndex) {
        case 1: choice.dirPattern = "*.*"; break;
        case 2: choice.dirPattern = "*.jpg"; break;
        case 3: choice.dirPattern = "*.gif"; break;
        default: break;
    }
    DoveShow.setText(choice.chosenFile);
    ScanFolder();
}

}  // namespace gb
