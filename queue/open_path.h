#pragma once
// Opening a file or folder named on the command line (or dropped on the window), as if picked in the open dialog
// under its first filter.

#include <string>

namespace gb {

class Form1;

// A folder opens at its first picture; what cannot be opened is said in a message box, and nothing changes.
void openFromCommandLine(Form1& form, const std::string& path);

}  // namespace gb
