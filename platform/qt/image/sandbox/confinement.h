// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a decoder helper shuts itself in once its libraries and decoders are loaded: it dies with the viewer, can
// gain no rights, dumps no core, is bounded in memory, and may make only the system calls that decoding needs.

#include <sys/types.h>

#include <cstdint>

namespace gb::sandbox {

// What the process takes by itself: its private writable memory and its address space, in bytes.
struct Footprint {
    std::int64_t data = 0;
    std::int64_t addressSpace = 0;
};
Footprint footprint();

// The most memory one request may be given above the helper's own: the whole decoding budget and change.
inline constexpr std::int64_t mostGranted = 768LL * 1024 * 1024;
// Under the address sanitizer, freed memory waits in quarantine (256 MB by default) before it is used again.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr std::int64_t sanitizerQuarantine = 256LL * 1024 * 1024;
#else
inline constexpr std::int64_t sanitizerQuarantine = 0;
#endif
// Room above a request's grant for what decoders keep besides the pixels (tables, rows, the reader's buffers).
inline constexpr std::int64_t slackBytes = 64LL * 1024 * 1024 + sanitizerQuarantine;
// Address space is reserved generously by threads and allocators without being used: more room there.
inline constexpr std::int64_t addressSlackBytes = 512LL * 1024 * 1024;

// Loads every picture reader Qt has, and what decoding touches the first time, so that nothing is loaded later.
void loadDecoders();

// Ends this process when the thread that started it ends (the viewer's, which lives as long as the viewer);
// false when the viewer `parent` is gone already.
bool dieWithParent(pid_t parent);

// Caps memory at `base` plus the most a request may be given, and starts with a header's worth and `granted`
// (the viewer grants each request its memory; a decoding by hand has all of it). Under the address sanitizer,
// whose shadow memory reserves terabytes, nothing is capped.
void capMemory(const Footprint& base, std::int64_t granted = 0);

// No new rights, no core dumps, and from here on only the system calls of decoding: any other ends the process
// with SIGSYS. With `trace`, a forbidden call is told on stderr (with its number) before the process ends.
bool confine(bool trace);

}  // namespace gb::sandbox
