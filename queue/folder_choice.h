// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the user chose to open and how its folder is read: the file picked (and the one to start at), the folder,
// the pattern of the names listed, and the open dialog's record, which persists from one dialog to the next.

#include <string>

#include "app/numbers.h"
#include "platform/services.h"

namespace gb {

// The folder of a path: "/pics" of "/pics/a.jpg", "/" of "/a.jpg", empty without a slash.
std::string folderOf(const std::string& path);

struct FolderChoice {
    std::string dirPattern;  // "*.*", "*.jpg" or "*.gif"
    std::string folderPath;
    std::string startFile;  // the file the queue starts at
    std::string pathSep;
    std::string dirEntry;  // the name being added by the scan
    Int16 fileTypeIndex = 0;
    std::string lastFolder;
    platform::OpenFileRequest dialogRecord;
};

}  // namespace gb
