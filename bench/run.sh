#!/usr/bin/env bash
# Measures Glimmerbox beside feh (and vipsthumbnail for thumbnails) on the same folders, in rounds that take
# turns (Glimmerbox, then the peer, then Glimmerbox again ...), and prints the table of medians with their
# min-max and the ratios. Every figure comes from the real window under Xvfb with openbox, 1280 x 1024.
#
#   bench/run.sh [DATA]        DATA defaults to /tmp/glimmerbox-bench; made by bench/make_images.sh if missing
#   ROUNDS=5 bench/run.sh      rounds of each measurement (default 3)
#   BUILD=build                where the benchmark programs were built
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
data=${1:-/tmp/glimmerbox-bench}
rounds=${ROUNDS:-3}
build=${BUILD:-$here/../build}/bench
for tool in feh vipsthumbnail Xvfb openbox xdpyinfo python3; do
  command -v "$tool" >/dev/null || { echo "missing $tool: run scripts/install-deps.sh --bench" >&2; exit 1; }
done
[[ -x /usr/bin/time ]] || { echo "missing /usr/bin/time: run scripts/install-deps.sh --bench" >&2; exit 1; }
for prog in walk thumbs_bar big_folder decode_floor; do
  [[ -x $build/$prog ]] || { echo "missing $build/$prog: build the project first (cmake --build build)" >&2; exit 1; }
done
if [[ ! -f $data/large/photo_40.jpg || ! -f $data/small/img_1000.jpg ]]; then
  echo "making the pictures in $data (about 15 minutes on 2 cores) ..." >&2
  "$here/make_images.sh" "$data" >&2
fi
# 30,000 files for the folder scan: links to one picture, made once.
if [[ ! -f $data/many30k/img_30000.jpg ]]; then
  mkdir -p "$data/many30k"
  for i in $(seq -w 1 30000); do ln -f "$data/small/img_0001.jpg" "$data/many30k/img_$i.jpg"; done
fi

work=$(mktemp -d /tmp/gb-bench.XXXXXX)
display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
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
first=$large/photo_01.jpg
# One unrecorded start of each, so that no round pays for loading the programs from disk.
"$build/walk" "$first" --steps 0 >/dev/null 2>&1
feh --on-last-slide quit --slideshow-delay 0.01 "$first" >/dev/null 2>&1
for r in $(seq "$rounds"); do
  echo "round $r of $rounds" >&2
  timed "start to first 24 MP picture" glimmerbox "$build/walk" "$first" --steps 0
  timed "start to first 24 MP picture" feh feh --on-last-slide quit --slideshow-delay 0.01 "$first"
  timed "walk of 40 x 24 MP, full screen" glimmerbox "$build/walk" "$first" --full-screen
  timed "walk of 40 x 24 MP, full screen" feh feh --on-last-slide quit --slideshow-delay 0.01 -F -Z "$large"
  timed "walk of 40 x 24 MP, normal at 100 %" glimmerbox "$build/walk" "$first"
  timed "walk of 40 x 24 MP, normal at 100 %" feh feh --on-last-slide quit --slideshow-delay 0.01 "$large"
  timed "1,000 thumbnails" glimmerbox "$build/thumbs_bar" "$data/small/img_0001.jpg"
  record "1,000 thumbnails per second" glimmerbox "$(sed -n 's/.*= \([0-9]*\) per second.*/\1/p' "$work/out")"
  record "1,000 thumbnails: longest stall" glimmerbox "$(sed -n 's/.*longest event-loop stall \([0-9]*\) ms.*/\1/p' "$work/out")"
  rm -rf "$work/vt" && mkdir "$work/vt"
  start=$(now)
  vipsthumbnail "$data"/small/*.jpg -s 50x50 -o "$work/vt/%s.jpg"
  record "1,000 thumbnails per second" vipsthumbnail "$(python3 -c "print(round(1000 * 1000 / $(ms_since "$start")))")"

  timed "preloaded, normal" glimmerbox "$build/walk" "$first" --dwell 1000 --steps 10
  record "Enter to drawn, preloaded, normal: median" glimmerbox "$(field 'median')"
  record "Enter to drawn, preloaded, normal: p95" glimmerbox "$(field 'p95')"
  timed "preloaded, full screen" glimmerbox "$build/walk" "$first" --full-screen --dwell 1000 --steps 10
  record "Enter to drawn, preloaded, full screen: median" glimmerbox "$(field 'median')"
  record "Enter to drawn, preloaded, full screen: p95" glimmerbox "$(field 'p95')"
  timed "cold" glimmerbox "$build/walk" "$first" --full-screen --no-preload --steps 10
  record "Enter to drawn, cold, full screen" glimmerbox "$(field 'median')"
  QT_QPA_PLATFORM=offscreen "$build/decode_floor" 1230 820 "$large"/photo_0[1-9].jpg >"$work/out" 2>/dev/null
  record "Enter to drawn, cold, full screen" "Qt scaled decode" "$(sed -n 's/.*median \([0-9.]*\) ms.*/\1/p' "$work/out")"
  timed "30,000 files" glimmerbox "$build/big_folder" "$data/many30k/img_00001.jpg" 0
  record "30,000 files: dialog confirmed to first picture drawn" glimmerbox "$(sed -n 's/.*first picture drawn \([0-9]*\) ms.*/\1/p' "$work/out")"
  record "30,000 files: longest stall" glimmerbox "$(sed -n 's/.*longest event-loop stall \([0-9]*\) ms.*/\1/p' "$work/out")"
done
python3 "$here/summarize.py" "$results" "$rounds"
