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
    dialogRecord.title = texts::dialogTitle;
    dialogRecord.filters = {{"All image files", {"*.bmp", "*.gif", "*.jpg", "*.jpeg"}},
                            {"Files *.jpg;*.jpeg", {"*.jpg", "*.jpeg"}},
                            {"Files *.gif", {"*.gif"}}};
    dialogRecord.initialFolder = services.files.currentDirectory();
    const auto answer = services.fileDialog.openFile(dialogRecord);
    std::string result;
    if (answer) {
        dialogRecord.filterIndex = answer->filterIndex;
        services.files.setCurrentDirectory(folderOf(answer->path));
        result = answer->path;
    }
    fileTypeIndex = static_cast<Int16>(dialogRecord.filterIndex);
    return result;
}

void Form1::menuFileScegli_Click() {
    if (lastFolder.empty()) lastFolder = services.files.currentDirectory();
    if (!services.files.setCurrentDirectory(lastFolder)) {
        showWrongImage(services.messages);
        return;
    }
    chosenFile = OpenImageDialog();
    // A folder whose path the system cannot give (deeper than its path limit) is not guessed at: an empty
    // folder path would stand for the root.
    const std::string current = services.files.currentDirectory();
    if (current.empty() && chosenFile.find_first_not_of(' ') != std::string::npos) {
        showWrongImage(services.messages);
        return;
    }
    lastFolder = current;
    folderPath = lastFolder;
    if (chosenFile.find_first_not_of(' ') == std::string::npos) return;
    menuFileScegli.setEnabled(false);
    startFile = chosenFile;
    if (chosenFile.find('.') == std::string::npos) {
        showWrongImage(services.messages);
        return;
    }
    switch (fileTypeIndex) {
        case 1: dirPattern = "*.*"; break;
        case 2: dirPattern = "*.jpg"; break;
        case 3: dirPattern = "*.gif"; break;
        default: break;
    }
    DoveShow.setText(chosenFile);
    ScanFolder();
}

}  // namespace gb
