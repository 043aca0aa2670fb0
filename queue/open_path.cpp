// SPDX-License-Identifier: GPL-3.0-or-later
#include "queue/open_path.h"

#include <algorithm>

#include "app/form1.h"
#include "app/texts.h"
#include "platform/name_pattern.h"
#include "queue/image_types.h"

namespace gb {

std::string whyNotQueued(platform::FileSystem& files, const std::string& path) {
    // The system would read a zero byte as the end of the name, and find another file.
    if (path.find('\0') != std::string::npos) return "its name holds a zero byte, which no file name can";
    if (!files.isFile(path)) {
        if (files.isDirectory(path)) return "it is a folder";
        if (const std::string kind = files.specialKind(path); !kind.empty())
            return "it is " + kind + ", not a picture file";
        if (const std::string why = files.reachError(path); !why.empty()) return why;
        return "there is no such file or folder";
    }
    const auto slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (!isImageName(name)) return "it is not a jpg, jpeg, gif or bmp picture";
    // The folder's listing leaves hidden names out, so such a file is never among its pictures.
    if (!platform::listedUnder(name, "*.*")) return "its name starts with a dot: hidden files are not shown";
    return {};
}

std::string shownPath(const std::string& path) {
    std::string shown;
    for (const char c : path) shown += c == '\0' ? std::string("%00") : std::string(1, c);
    return shown;
}

void openFromCommandLine(Form1& form, const std::string& path) {
    platform::FileSystem& files = form.services.files;
    const auto fail = [&form](const std::string& text) {
        form.services.messages.show({text, texts::productName, platform::MessageButtons::Ok,
                                     platform::MessageIcon::Exclamation, platform::MessageAnswer::Ok});
    };
    std::string file = path;
    if (path.find('\0') == std::string::npos && files.isDirectory(path)) {
        // A folder that can be listed but not entered (mode 600) would list pictures that cannot be opened.
        if (const std::string why = files.reachError(path); !why.empty()) {
            fail("Cannot open the folder " + path + ": " + why + ".");
            return;
        }
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
    } else if (const std::string why = whyNotQueued(files, path); !why.empty()) {
        fail("Cannot open " + shownPath(path) + ": " + why + ".");
        return;
    }
    const std::string folder = folderOf(file);
    if (!files.setCurrentDirectory(folder)) {
        const std::string why = files.reachError(folder);
        fail("Cannot open the folder " + folder + (why.empty() ? "." : ": " + why + "."));
        return;
    }
    // A folder that can be entered but not read (mode 300) lists nothing: say so rather than "check the folder".
    if (const std::string why = files.folderError(folder); !why.empty()) {
        fail("Cannot read the folder " + folder + ": " + why + ".");
        return;
    }
    // As if picked in the dialog under its first filter.
    form.choice.dialogRecord.filterIndex = 1;
    form.choice.fileTypeIndex = 1;
    form.openChosen(folder, file);
}

}  // namespace gb
