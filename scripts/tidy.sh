#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The static-analysis gate: clang-tidy with the checks of .clang-tidy, every finding an error, on each C++ file
# the build in `build/` compiles (its compile_commands.json, its generated moc files). Usage: scripts/tidy.sh
# Left out: tests/fuzz (built by scripts/fuzz.sh, not by CMake), bench/screen_probe.cpp (its XTest headers come
# with --bench only).
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files '*.cpp' | grep -v -E '^(tests/fuzz/|bench/screen_probe\.cpp$)' |
  xargs -P "$(nproc)" -n 8 clang-tidy -p build --quiet
