#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets with clang (address and undefined-behaviour sanitizers on) and runs each for a
# bounded time on its seed corpus. Usage: scripts/fuzz.sh [SECONDS]   (default 30 a target)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
out=build-fuzz
mkdir -p "$out"
flags=(-std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I.)

clang++-14 "${flags[@]}" tests/fuzz/file_url_fuzz.cpp platform/file_url.cpp -o "$out/file_url_fuzz"
clang++-14 "${flags[@]}" tests/fuzz/typed_ratio_fuzz.cpp ratio/typed_ratio.cpp app/numbers.cpp -o "$out/typed_ratio_fuzz"
# shellcheck disable=SC2046
clang++-14 "${flags[@]}" -fPIC tests/fuzz/header_probe_fuzz.cpp platform/qt/image/decoder.cpp platform/qt/image/header_facts.cpp \
  platform/qt/image/screen_colours.cpp platform/qt/logging.cpp \
  $(pkg-config --cflags --libs Qt6Gui) -o "$out/header_probe_fuzz"
# shellcheck disable=SC2046
clang++-14 "${flags[@]}" -fPIC tests/fuzz/gif_frames_fuzz.cpp platform/qt/image/gif_frames.cpp platform/qt/image/gif_lzw.cpp $(pkg-config --cflags --libs Qt6Gui) -o "$out/gif_frames_fuzz"

# shellcheck disable=SC2046
clang++-14 "${flags[@]}" -fPIC tests/fuzz/decoder_service_fuzz.cpp platform/qt/image/sandbox/decoder_service.cpp \
  platform/qt/image/sandbox/protocol.cpp platform/qt/image/sandbox/faults.cpp platform/qt/image/decoder.cpp \
  platform/qt/image/header_facts.cpp platform/qt/image/screen_colours.cpp platform/qt/image/frame_source.cpp \
  platform/qt/image/gif_frames.cpp platform/qt/image/gif_lzw.cpp platform/qt/image/thumbnail_size.cpp \
  platform/qt/logging.cpp $(pkg-config --cflags --libs Qt6Gui) -o "$out/decoder_service_fuzz"

for target in file_url typed_ratio header_probe gif_frames decoder_service; do
  work="$out/corpus-$target"
  rm -rf "$work" && mkdir -p "$work"
  # New inputs go to a scratch corpus; the seeds in the repository stay as they are.
  # No input may make the program allocate past the decoding budget.
  "$out/${target}_fuzz" -max_total_time="$seconds" -malloc_limit_mb=600 -print_final_stats=1 "$work" \
    "tests/fuzz/corpus/$target" 2>&1 |
    tail -n 4
  echo "fuzz $target: no crash in ${seconds} s"
done
