#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Measures Glimmerbox beside feh, nsxiv and qimgv on the same folders, in rounds that take turns, and prints the
# tables of medians with their min-max. Under Xvfb (1920 x 1080) with openbox: the key-to-screen figures are read
# off the screen from outside the processes (bench/screen.py, bench/screen_probe.cpp); the thumbnail bar's are
# read inside the process (bench/thumbs_bar.cpp), cold with an empty thumbnail cache and warm after a restart.
#
#   bench/run.sh [DATA]        DATA defaults to /tmp/glimmerbox-bench; made by bench/make_images.sh if missing
#   ROUNDS=3 bench/run.sh      rounds of each measurement (default 2)
#   BUILD=build                where the benchmark programs were built
#   BEFORE=../old/build        another build measured beside it, in the same rounds, as "glimmerbox-before"
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
data=${1:-/tmp/glimmerbox-bench}
rounds=${ROUNDS:-2}
build=${BUILD:-$here/../build}/bench
for tool in feh nsxiv qimgv djpeg Xvfb openbox xdpyinfo python3; do
  command -v "$tool" >/dev/null || { echo "missing $tool: run scripts/install-deps.sh --bench" >&2; exit 1; }
done
[[ -x /usr/bin/time ]] || { echo "missing /usr/bin/time: run scripts/install-deps.sh --bench" >&2; exit 1; }
for prog in walk thumbs_bar big_folder screen_probe; do
  [[ -x $build/$prog ]] || { echo "missing $build/$prog: build the project first (cmake --build build)" >&2; exit 1; }
done
if [[ ! -f $data/large/photo_40.jpg || ! -f $data/small/img_1000.jpg ]]; then
  echo "making the pictures in $data (about 15 minutes on 2 cores) ..." >&2
  "$here/make_images.sh" "$data" >&2
fi
# 30,000 files for the folder scan: links to one picture; 40,000 for the thumbnail bar: links to the 1,000
# pictures in turn. Made once.
if [[ ! -f $data/many30k/img_30000.jpg ]]; then
  mkdir -p "$data/many30k"
  for i in $(seq -w 1 30000); do ln -f "$data/small/img_0001.jpg" "$data/many30k/img_$i.jpg"; done
fi
if [[ ! -f $data/many40k/img_40000.jpg ]]; then
  mkdir -p "$data/many40k"
  for i in $(seq 1 40000); do
    ln -f "$data/small/img_$(printf %04d $(( (i - 1) % 1000 + 1 ))).jpg" "$data/many40k/img_$(printf %05d "$i").jpg"
  done
fi

work=$(mktemp -d /tmp/gb-bench.XXXXXX)
display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
cleanup() { kill "$wm" "$xvfb" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"; }
wm=0
trap cleanup EXIT
export DISPLAY=$display
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >"$work/openbox.log" 2>&1 &
wm=$!
sleep 1
export QT_QPA_PLATFORM=xcb
results=$work/results.tsv
: >"$results"
record() { printf '%s\t%s\t%s\n' "$1" "$2" "$3" >>"$results"; }
now() { date +%s%N; }
ms_since() { echo $(( ($(now) - $1) / 1000000 )); }

# Runs a command; records its wall time (ms) and peak resident memory (MiB) as METRIC for WHO.
timed() {
  local metric=$1 who=$2; shift 2
  local start; start=$(now)
  /usr/bin/time -f '%M' -o "$work/rss" "$@" >"$work/out" 2>"$work/err" || { cat "$work/err" >&2; return 1; }
  record "$metric" "$who" "$(ms_since "$start")"
  record "$metric memory" "$who" "$(awk '{printf "%.1f", $1 / 1024}' "$work/rss")"
}
field() { sed -n "s/.*$1 \([0-9.]*\).*/\1/p" "$work/out" | head -1; }

large=$data/large
export XDG_CACHE_HOME=$work/cache
# The benchmark programs live in build/bench; the decoder helper they start is the build's own.
export GLIMMERBOX_DECODER=$build/../glimmerbox-decoder
[[ -n ${BEFORE:-} ]] && export GLIMMERBOX_BEFORE=$BEFORE/glimmerbox
python3 "$here/screen.py" "$build/screen_probe" "$build/../glimmerbox" "$data" "$rounds" >>"$results"
# The figures read inside the process, for WHO from the benchmark programs in BENCH.
inside() {
  local who=$1 bench=$2
  rm -rf "$XDG_CACHE_HOME"
  "$bench/thumbs_bar" "$data/small/img_0001.jpg" >"$work/out" 2>/dev/null
  record "1,000 thumbnails, cold" "$who" "$(sed -n 's/.*page by page: \([0-9]*\) ms.*/\1/p' "$work/out")"
  record "1,000 thumbnails: longest stall" "$who" "$(sed -n 's/.*longest event-loop stall \([0-9]*\) ms.*/\1/p' "$work/out")"
  "$bench/thumbs_bar" "$data/small/img_0001.jpg" >"$work/out" 2>/dev/null
  record "1,000 thumbnails, warm" "$who" "$(sed -n 's/.*page by page: \([0-9]*\) ms.*/\1/p' "$work/out")"
  "$bench/thumbs_bar" "$data/many40k/img_00001.jpg" --first-page >"$work/out" 2>/dev/null || true
  record "40,000 thumbnails: in view" "$who" "$(sed -n 's/.*thumbnails in view drawn: \([0-9]*\) ms.*/\1/p' "$work/out")"
  record "40,000 thumbnails: longest stall" "$who" "$(sed -n 's/.*longest event-loop stall \([0-9]*\) ms.*/\1/p' "$work/out")"
  "$bench/walk" "$data/prog/prog_photo_01.jpg" --full-screen --no-preload --steps 4 >"$work/out" 2>/dev/null
  record "progressive cold" "$who" "$(field 'median')"
  "$bench/big_folder" "$data/many30k/img_00001.jpg" 0 >"$work/out" 2>/dev/null
  record "30,000 files: dialog confirmed to first picture drawn" "$who" "$(sed -n 's/.*first picture drawn \([0-9]*\) ms.*/\1/p' "$work/out")"
  record "30,000 files: longest stall" "$who" "$(sed -n 's/.*longest event-loop stall \([0-9]*\) ms.*/\1/p' "$work/out")"
}
for r in $(seq "$rounds"); do
  echo "round $r of $rounds" >&2
  inside glimmerbox "$build"
  [[ -n ${BEFORE:-} ]] && inside glimmerbox-before "$BEFORE/bench"
  # libjpeg-turbo's own decoder at the scale the full-screen size needs (1/2 of 6000 x 4000 for 1620 x 1080).
  for f in "$data"/prog/*.jpg; do
    start=$(now); djpeg -scale 1/2 -outfile /dev/null "$f"; record "progressive cold" djpeg "$(ms_since "$start")"
  done
done
python3 "$here/summarize.py" "$results" "$rounds"
