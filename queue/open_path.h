// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Opening a file or folder named on the command line (or dropped on the window), as if picked in the open dialog
// under its first filter.

#include <string>

namespace gb {

class Form1;
namespace platform {
class FileSystem;
}

// A folder opens at its first picture; what cannot be opened is said in a message box, and nothing changes.
void openFromCommandLine(Form1& form, const std::string& path);

// Why the file at `path` would not be queued with the pictures of its folder, in a user's words ("there is no
// such file or folder", "it is a named pipe (FIFO), not a picture file"); empty when it would be.
std::string whyNotQueued(platform::FileSystem& files, const std::string& path);

// A path as a message shows it: a zero byte, which no file name holds but an address can (%00), as "%00".
std::string shownPath(const std::string& path);

}  // namespace gb
