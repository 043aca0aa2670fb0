#!/usr/bin/env python3
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


# what, metric, unit, peer, how the ratio reads, target test
rows = [
    ("Enter to the next 24 MP picture drawn, preloaded (1 s on each), normal: median",
     "Enter to drawn, preloaded, normal: median", "ms", None, None, lambda g, p: g <= 16, "<= 16 ms"),
    ("... p95", "Enter to drawn, preloaded, normal: p95", "ms", None, None, lambda g, p: g <= 33, "<= 33 ms"),
    ("Enter to the next 24 MP picture drawn, preloaded (1 s on each), full screen: median",
     "Enter to drawn, preloaded, full screen: median", "ms", None, None, lambda g, p: g <= 16, "<= 16 ms"),
    ("... p95", "Enter to drawn, preloaded, full screen: p95", "ms", None, None, lambda g, p: g <= 33, "<= 33 ms"),
    ("Enter to the next picture drawn, not preloaded, full screen (peer: Qt's scaled decode alone)",
     "Enter to drawn, cold, full screen", "ms", "Qt scaled decode", "glimmerbox / peer", lambda g, p: g <= 1.2 * p,
     "<= 1.2 x Qt"),
    ("Walk of 40 x 24 MP as fast as each is drawn, full screen, whole process",
     "walk of 40 x 24 MP, full screen", "ms", "feh", "peer / glimmerbox", lambda g, p: p >= 3 * g, ">= 3 x faster"),
    ("Walk of 40 x 24 MP, normal mode at 100 %, whole process",
     "walk of 40 x 24 MP, normal at 100 %", "ms", "feh", "peer / glimmerbox", lambda g, p: p >= 2 * g, ">= 2 x faster"),
    ("Start to the first 24 MP picture drawn (command line), whole process",
     "start to first 24 MP picture", "ms", "feh", "glimmerbox / peer", lambda g, p: g <= 0.67 * p, "<= 0.67 x feh"),
    ("1,000 thumbnails of 1600x1200 JPEGs, F2 to all drawn (peer: vipsthumbnail to files)",
     "1,000 thumbnails per second", "/s", "vipsthumbnail", "glimmerbox / peer", lambda g, p: g >= 300, ">= 300 /s"),
    ("... longest event-loop stall meanwhile", "1,000 thumbnails: longest stall", "ms", None, None,
     lambda g, p: g <= 50, "<= 50 ms"),
    ("Peak memory, full-screen walk of the 40 x 24 MP", "walk of 40 x 24 MP, full screen memory", "MiB", "feh", None,
     lambda g, p: g <= 150, "<= 150 MiB"),
    ("Peak memory, normal-mode walk at 100 % with preloading", "walk of 40 x 24 MP, normal at 100 % memory", "MiB",
     "feh", None, lambda g, p: g <= 400, "<= 400 MiB"),
    ("30,000-file folder: dialog confirmed to first picture drawn",
     "30,000 files: dialog confirmed to first picture drawn", "ms", None, None, lambda g, p: g <= 1000, "<= 1 s"),
    ("... longest event-loop stall meanwhile", "30,000 files: longest stall", "ms", None, None, lambda g, p: g <= 100,
     "<= 100 ms"),
]

print(f"{sys.argv[2]} rounds; medians with min-max in brackets.\n")
print("| what | Glimmerbox | peer | ratio | target | met |")
print("|---|---|---|---|---|---|")
for what, metric, unit, peer, reads, met, target in rows:
    g, gtext = figure(metric, "glimmerbox", unit)
    p, ptext = figure(metric, peer, unit) if peer else (None, "-")
    ratio = "-"
    if reads and g and p:
        ratio = f"{(g / p if reads.startswith('glimmerbox') else p / g):.2f} ({reads})"
    ok = "-" if g is None or (peer and p is None and "x" in target) else ("yes" if met(g, p) else "NO")
    print(f"| {what} | {gtext} | {f'{peer}: {ptext}' if peer else '-'} | {ratio} | {target} | {ok} |")
