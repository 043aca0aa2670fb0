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

bool isBlank(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }
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
    const std::string chosenFile = OpenImageDialog();
    // A folder whose path the system cannot give (deeper than its path limit) is not guessed at: an empty
    // folder path would stand for the root.
    const std::string current = services.files.currentDirectory();
    if (current.empty() && !isBlank(chosenFile)) {
        showWrongImage(services.messages);
        return;
    }
    openChosen(current, chosenFile);
}

void Form1::openChosen(const std::string& folder, const std::string& file) {
    choice.lastFolder = folder;
    choice.folderPath = folder;
    if (isBlank(file)) return;
    menuFileScegli.setEnabled(false);
    choice.startFile = file;
    if (file.find('.') == std::string::npos) {
        showWrongImage(services.messages);
        return;
    }
    switch (choice.fileTypeIndex) {
        case 1: choice.dirPattern = "*.*"; break;
        case 2: choice.dirPattern = "*.jpg"; break;
        case 3: choice.dirPattern = "*.gif"; break;
        default: break;
    }
    queue.setOnShow(file);
    ScanFolder();
}

}  // namespace gb
