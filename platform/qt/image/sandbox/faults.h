// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Faults on command, for the tests of what the viewer does when a decoder goes wrong: built into the test
// helper only (glimmerbox-decoder-faults), where a file that starts with "GLIMMERBOX-FAULT " and a word makes
// the helper crash, hang, allocate without end, open a file or a socket, or answer with pixels that are not what
// it says. The installed helper does nothing here.

#include <QIODevice>

namespace gb::sandbox {

// True when the fault answered the request on `socket` itself.
bool injectFault(QIODevice& file, int socket);

}  // namespace gb::sandbox
