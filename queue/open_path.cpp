#include "queue/open_path.h"

#include <algorithm>

#include "app/form1.h"
#include "app/texts.h"
#include "queue/image_types.h"

namespace gb {

namespace {
std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash == 0 ? 1 : slash);
}
}  // namespace

void openFromCommandLine(Form1& form, const std::string& path) {
    platform::FileSystem& files = form.services.files;
    const auto fail = [&form](const std::string& text) {
        form.services.messages.show({text, texts::productName, platform::MessageButtons::Ok,
                                     platform::MessageIcon::Exclamation, platform::MessageAnswer::Ok});
    };
    std::string file = path;
    if (files.isDirectory(path)) {
        std::vector<std::string> images;
        for (const auto& name : files.listFiles(path, "*.*"))
            if (isImageName(name)) images.push_back(name);
        if (images.empty()) {
            if (const std::string why = files.folderError(path); !why.empty())
                fail("Cannot open the folder " + path + ": " + why + ".");
            else fail("There is no jpg, jpeg, gif or bmp picture in the folder " + path + ".");
            return;
        }
        const auto first = std::min_element(images.begin(), images.end(), platform::sortsBefore);
        file = (path == "/" ? std::string() : path) + "/" + *first;
    } else if (!files.isFile(path)) {
        if (const std::string kind = files.specialKind(path); !kind.empty())
            fail("Cannot open " + path + ": it is " + kind + ", not a picture file.");
        else fail("Cannot open " + path + ": there is no such file or folder.");
        return;
    } else if (!isImageName(path)) {
        fail("Cannot open " + path + ": it is not a jpg, jpeg, gif or bmp picture.");
        return;
    }
    const std::string folder = folderOf(file);
    if (!files.setCurrentDirectory(folder)) {
        fail("Cannot open the folder " + folder + ".");
        return;
    }
    // A folder that can be entered but not read (mode 300) lists nothing: say so rather than "check the folder".
    if (const std::string why = files.folderError(folder); !why.empty()) {
        fail("Cannot read the folder " + folder + ": " + why + ".");
        return;
    }
    form.choice.dialogRecord.filterIndex = 1;
    form.choice.fileTypeIndex = 1;
    form.choice.lastFolder = folder;
    form.choice.folderPath = folder;
    form.choice.chosenFile = file;
    form.menuFileScegli.setEnabled(false);
    form.choice.startFile = form.choice.chosenFile;
    form.choice.dirPattern = "*.*";
    form.DoveShow.setText(form.choice.chosenFile);
    form.ScanFolder();
}

}  // namespace gb
