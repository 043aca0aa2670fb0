// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The path given on the command line, made absolute for the logic.

#include <string>
#include <vector>

#include "platform/services.h"

namespace gb::qt {

// `raw` made absolute, its folder resolved but not a link at its end: the name the user gave is the one shown
// and acted on (a z.jpg that links elsewhere stays z.jpg). Empty, with the system's reason in `why`, when the
// working folder's own path cannot be known (deeper than the system's path limit): never a guess.
std::string absolutePath(const std::string& raw, std::string& why);
// The same, also empty (with the reason) when the result is too long for the system to open. A path holding a zero
// byte (a dropped address can) is returned as given, for `whyNotQueued` to refuse: it must never reach the system,
// which would read a shorter name.
std::string openablePath(const std::string& raw, std::string& why);

// What several paths given at once open (a file manager's selection, files dropped on the window): the first one
// that can be opened, as a single path is opened. The others need no opening when they lie in the folder opened,
// whose pictures are all queued; every other path is not opened, and the user is told why.
struct NotOpened {
    std::string path;  // as given
    std::string why;   // in a user's words
    bool operator==(const NotOpened&) const = default;
};
struct OpenRequest {
    std::string path;  // the one opened, made openable; empty when it cannot be (see `why`)
    std::string why;
    std::vector<NotOpened> notOpened;
};
OpenRequest openRequest(const std::vector<std::string>& given, platform::FileSystem& files);
// The message naming the paths that were not opened, each with its reason.
std::string notOpenedText(const std::vector<NotOpened>& notOpened);

}  // namespace gb::qt
