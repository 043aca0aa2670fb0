// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the GIF frame reader on any bytes. It never crashes or reads out of bounds, never holds
// more than its canvas, what one "restore to previous" frame covers and a row, keeps the canvas at the size the
// header gave, and ends on every input (each call reads at least one byte or stops).

#include <QBuffer>
#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/qt/image/gif_frames.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QBuffer buffer;
    buffer.setData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    buffer.open(QIODevice::ReadOnly);
    gb::qt::GifFrames gif(buffer);
    if (!gif.start(1 << 20)) return 0;
    const QSize screen = gif.size();
    // Two plays: the second from a rewind, as an animation that loops reads it.
    for (int play = 0; play < 2; ++play) {
        for (int frames = 0; frames < 10000 && gif.next(); ++frames) {
            if (gif.canvas().size() != screen || gif.delayMs() < 0 || gif.delayMs() > 655350) std::abort();
        }
        if (!gif.rewind()) std::abort();
    }
    return 0;
}
