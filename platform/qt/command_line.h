#pragma once
// The path given on the command line, made absolute for the logic.

#include <string>

namespace gb::qt {

// `raw` made absolute, its folder resolved but not a link at its end: the name the user gave is the one shown
// and acted on (a z.jpg that links elsewhere stays z.jpg). Empty, with the system's reason in `why`, when the
// working folder's own path cannot be known (deeper than the system's path limit): never a guess.
std::string absolutePath(const std::string& raw, std::string& why);
// The same, also empty (with the reason) when the result is too long for the system to open.
std::string openablePath(const std::string& raw, std::string& why);

}  // namespace gb::qt
