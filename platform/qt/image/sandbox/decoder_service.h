// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The decoder helper's side of the protocol: it answers the viewer's requests on one socket, one at a time,
// until the viewer closes it. Each picture comes as a descriptor the viewer opened; each answer goes back as
// pixels in sealed memory or as a sentence.

namespace gb::sandbox {

// Serves `socket` until its end; returns the process's exit status.
int serve(int socket);

}  // namespace gb::sandbox
