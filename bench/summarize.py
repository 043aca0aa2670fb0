#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Prints the table of bench/run.sh: per figure the median of the rounds with min-max, the peer's, the ratio
of the medians and whether the target is met.

    summarize.py RESULTS.tsv ROUNDS      (lines: metric <TAB> who <TAB> value)
"""
import statistics
import sys
from collections import defaultdict

values = defaultdict(list)
with open(sys.argv[1], encoding="utf-8") as results:
    for line in results:
        metric, who, value = line.rstrip("\n").split("\t")
        if value:
            values[(metric, who)].append(float(value))


def figure(metric, who, unit):
    v = values.get((metric, who))
    if not v:
        return None, "-"
    m = statistics.median(v)
    return m, f"{m:.0f} {unit} ({min(v):.0f}-{max(v):.0f})" if m >= 10 else f"{m:.1f} {unit} ({min(v):.1f}-{max(v):.1f})"


# Another build of Glimmerbox measured beside it (bench/run.sh with BEFORE=...) gets a column of its own.
BEFORE = "glimmerbox-before"
has_before = any(who == BEFORE for _, who in values)
VIEWERS = ["glimmerbox"] + ([BEFORE] if has_before else []) + ["feh", "nsxiv", "qimgv"]
# Measured from outside (bench/screen.py): what, metric, unit, target test on (glimmerbox, fastest peer), target.
screen_rows = [
    ("start to the first photo final on screen, window", "ms", lambda g, p: g <= 0.6 * p, "<= 0.6 x fastest peer"),
    ("step after 1 s, window: median", "ms", lambda g, p: g <= 16, "<= 16 ms"),
    ("step after 1 s, window: p95", "ms", lambda g, p: g <= 33, "<= 33 ms"),
    ("step after 1 s, window: first two", "ms", lambda g, p: g <= 33, "<= 33 ms"),
    ("step after 1 s, window: most frames", "", lambda g, p: g <= 1, "1"),
    ("step after 1 s, full screen: median", "ms", lambda g, p: g <= 16, "<= 16 ms"),
    ("step after 1 s, full screen: p95", "ms", lambda g, p: g <= 33, "<= 33 ms"),
    ("step after 1 s, full screen: first two", "ms", lambda g, p: g <= 33, "<= 33 ms"),
    ("step after 1 s, full screen: most frames", "", lambda g, p: g <= 1, "1"),
    ("quick steps (250 ms each), full screen: median", "ms", lambda g, p: g <= p, "ahead of peers"),
    ("quick steps (250 ms each), full screen: missed", "", lambda g, p: g <= p, "ahead of peers"),
    ("progressive JPEG, step after 1 s, full screen: median", "ms", lambda g, p: g <= 16, "<= 16 ms"),
    ("peak memory, window walk", "MiB", lambda g, p: g <= 300, "<= 300 MiB"),
    ("peak memory, full-screen walk", "MiB", lambda g, p: g <= 150, "<= 150 MiB"),
    ("peak memory, progressive walk", "MiB", lambda g, p: g <= p, "ahead of peers"),
]
# Measured inside the process (the thumbnail bar) or of a decoder alone.
rows = [
    ("F2 on 1,000 pictures, empty cache: all thumbnails drawn", "1,000 thumbnails, cold", "ms", None,
     lambda g: True, "-"),
    ("F2 on 1,000 pictures after a restart, cache warm: all thumbnails drawn", "1,000 thumbnails, warm", "ms",
     "1,000 thumbnails, cold", lambda g, c: c >= 5 * g, ">= 5 x faster than cold"),
    ("... longest event-loop stall (cold)", "1,000 thumbnails: longest stall", "ms", None, lambda g: g <= 50,
     "<= 50 ms"),
    ("F2 on 40,000 pictures: the thumbnails in view drawn", "40,000 thumbnails: in view", "ms", None,
     lambda g: g <= 300, "<= 300 ms"),
    ("... longest event-loop stall", "40,000 thumbnails: longest stall", "ms", None, lambda g: g <= 50, "<= 50 ms"),
    ("progressive 24 MP JPEG, cold decode at the full-screen size (walk --no-preload)",
     "progressive cold", "ms", "djpeg", lambda g, d: g <= 1.2 * d, "<= 1.2 x djpeg at the drawn scale"),
    ("30,000-file folder: dialog confirmed to first picture drawn",
     "30,000 files: dialog confirmed to first picture drawn", "ms", None, lambda g: g <= 1000, "<= 1 s"),
    ("... longest event-loop stall meanwhile", "30,000 files: longest stall", "ms", None, lambda g: g <= 100,
     "<= 100 ms"),
]

print(f"{sys.argv[2]} rounds; medians with min-max in brackets. Key to screen, 1920 x 1080, from outside the processes:\n")
print("| what | " + " | ".join(VIEWERS) + " | target | met | ahead of every peer |")
print("|---|" + "---|" * (len(VIEWERS) + 3))
for metric, unit, met, target in screen_rows:
    cells, peers = [], []
    for v in VIEWERS:
        m, text = figure(metric, v, unit)
        cells.append(text)
        if not v.startswith("glimmerbox") and m is not None:
            peers.append(m)
    g = figure(metric, "glimmerbox", unit)[0]
    best = min(peers) if peers else None
    ok = "-" if g is None or best is None else ("yes" if met(g, best) else "NO")
    ahead = "-" if g is None or best is None else ("yes" if g <= best else "NO")
    print(f"| {metric} | " + " | ".join(cells) + f" | {target} | {ok} | {ahead} |")

print("\nInside the process (thumbnail bar) and decoders alone:\n")
print("| what | Glimmerbox | " + ("before | " if has_before else "") + "against | target | met |")
print("|---|---|---|---|---|" + ("---|" if has_before else ""))
for what, metric, unit, against, met, target in rows:
    g, gtext = figure(metric, "glimmerbox", unit)
    if has_before:
        gtext += " | " + figure(metric, BEFORE, unit)[1]
    if against:
        who = "glimmerbox" if against.startswith("1,000") else against
        key = against if against.startswith("1,000") else metric
        a, atext = figure(key, who, unit)
        ok = "-" if g is None or a is None else ("yes" if met(g, a) else "NO")
        print(f"| {what} | {gtext} | {against}: {atext} | {target} | {ok} |")
    else:
        ok = "-" if g is None else ("yes" if met(g) else "NO")
        print(f"| {what} | {gtext} | - | {target} | {ok} |")
