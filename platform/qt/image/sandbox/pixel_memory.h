// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The viewer's side of the pixel memory that helpers hand over: mapped read-only as an image without a copy,
// unmapped off the window's thread once the image goes, and the memory of a large picture kept a few seconds to
// be offered to a helper for the next picture of its size. Touching fresh memory costs more than decoding a JPEG
// into it (on a virtual machine, some 270 ms for the 96 MB of a 24-megapixel picture against 95 ms for its
// decoding), and a walk through a folder of photos of one size needs the same memory over and over.

#include <QImage>

#include <sys/types.h>

#include <cstdint>

#include "platform/qt/image/sandbox/protocol.h"

namespace gb::sandbox {

// The pixels of a Pixels reply (its descriptor taken), mapped read-only where the helper left them (under a
// megabyte, a thumbnail's, read into the viewer's own memory instead); a null image when they are not what the
// reply says. `offered` is the inode of the memory offered for them, if any.
QImage mapPixels(Received& in, ino_t offered = 0);

// Memory of `bytes` kept from a picture let go, for a helper to decode the next one into (the caller owns the
// descriptor), or -1 when none is kept; its inode in `inode`.
int takeReusableMemory(std::int64_t bytes, ino_t* inode);

// For tests and benchmarks: how many pictures came back in memory that was offered again.
int reusedPixelMemory();

}  // namespace gb::sandbox
