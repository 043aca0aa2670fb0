#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Key-to-screen benchmark: Glimmerbox beside feh, nsxiv and qimgv, measured from outside the processes.

Each viewer runs under the Xvfb (1920x1080) and openbox that bench/run.sh starts; keys are pressed through
XTEST and the 96 x 96 region at the screen's centre is read until it has not changed for 400 ms
(bench/screen_probe). Flows, each viewer in turn within a round:

  window       start on the first photo (timed from the launch), then steps after a dwell of 1 s
  full screen  start in the window, full screen once the photo shows (Esc; feh -F -Z and nsxiv -f at launch,
               qimgv f), then steps after a dwell of 1 s; the peak memory counts from full screen on
  quick        full screen, a step every 250 ms: the time to the next photo on screen (missed: none in 250 ms)
  progressive  full screen over progressive JPEGs, steps after a dwell of 1 s; the peak memory as above

Prints lines "metric<TAB>viewer<TAB>value" for bench/summarize.py.

    screen.py PROBE GLIMMERBOX DATA ROUNDS     VIEWERS="glimmerbox feh" FLOWS="window full" for a part
    GLIMMERBOX_BEFORE=BINARY screen.py ...     another build of Glimmerbox beside it, as "glimmerbox-before"

The peak memory of Glimmerbox is that of the viewer and its decoder helpers together: the largest sum of their
proportional sizes (PSS), read every 100 ms, so that the libraries and the pixels that the viewer and a helper
both map count once. A single process's is its peak resident memory (VmHWM).
"""
import os
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time

probe_path, glimmerbox, data, rounds = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
large = os.path.join(data, "large")
prog = os.path.join(data, "prog")
STEPS = 10


class Probe:
    def __init__(self):
        self.p = subprocess.Popen([probe_path], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)

    def ask(self, line):
        self.p.stdin.write(line + "\n")
        self.p.stdin.flush()
        answer = self.p.stdout.readline().split()
        if not answer or answer[0] != "latency":
            raise RuntimeError(f"screen_probe: {' '.join(answer)}")
        return float(answer[1]), int(answer[3]), answer[5] == "1"

    def key(self, sym):
        return self.ask(f"key {sym}")

    def watch(self, t0, ms):
        return self.ask(f"watch {t0} {ms}")

    def first(self, sym, ms):
        return self.ask(f"first {sym} {ms}")


def files(folder):
    return sorted(os.path.join(folder, f) for f in os.listdir(folder) if f.lower().endswith(".jpg"))


# How each viewer is started on a folder at its first picture, and its keys.
def command(viewer, folder, full):
    first = files(folder)[0]
    if viewer == "glimmerbox":
        return [glimmerbox, first]
    if viewer == "glimmerbox-before":
        return [os.environ["GLIMMERBOX_BEFORE"], first]
    if viewer == "feh":
        return ["feh"] + (["-F", "-Z"] if full else []) + ["--start-at", first, folder]
    if viewer == "nsxiv":
        return ["nsxiv"] + (["-f"] if full else ["-z", "100"]) + files(folder)
    if viewer == "qimgv":
        return ["qimgv", first]
    raise ValueError(viewer)


NEXT = {"glimmerbox": "Return", "glimmerbox-before": "Return", "feh": "Right", "nsxiv": "n", "qimgv": "Right"}
FULL = {"glimmerbox": "Escape", "glimmerbox-before": "Escape", "qimgv": "f"}  # the others: full screen at launch


def status_mib(pid, field):
    try:
        with open(f"/proc/{pid}/status", encoding="ascii") as status:
            for line in status:
                if line.startswith(field + ":"):
                    return int(line.split()[1]) / 1024
    except OSError:
        pass
    return 0


def pss_mib(pid):
    try:
        with open(f"/proc/{pid}/smaps_rollup", encoding="ascii") as rollup:
            for line in rollup:
                if line.startswith("Pss:"):
                    return int(line.split()[1]) / 1024
    except OSError:
        pass
    return 0


def family(pid):
    """The process and its children (Glimmerbox's decoder helpers), read from every thread of it."""
    pids = [pid]
    try:
        for task in os.listdir(f"/proc/{pid}/task"):
            with open(f"/proc/{pid}/task/{task}/children", encoding="ascii") as children:
                pids += [int(child) for child in children.read().split()]
    except OSError:
        pass
    return pids


class Viewer:
    def __init__(self, viewer, folder, full, probe, home):
        self.name = viewer
        self.probe = probe
        env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                   XDG_CACHE_HOME=os.path.join(home, ".cache"))
        t0 = time.monotonic_ns()
        self.p = subprocess.Popen(command(viewer, folder, full and viewer not in FULL), env=env,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.sampled, self.watching, self.family = 0, True, False
        self.watcher = threading.Thread(target=self.watch, daemon=True)
        self.watcher.start()
        self.start_ms, _, shown = probe.watch(t0, 15000)
        if not shown:
            # What the screen shows then, for whoever looks into it.
            shot = os.path.join(tempfile.gettempdir(), f"gb-screen-no-picture-{viewer}-{os.getpid()}-{t0}.png")
            subprocess.run(["import", "-window", "root", shot], check=False)
            self.close()
            raise RuntimeError(f"{viewer} showed no picture within 15 s (the screen then: {shot})")

    def watch(self):
        # Helpers come and go: their peaks cannot be added up afterwards. Each process counts its proportional
        # size (PSS): the libraries and the pixels that the viewer and a helper both map count once. Read every
        # 100 ms: reading a PSS walks the process's page tables under the lock its own mappings take, and at every
        # 20 ms it slowed the viewer's start by a third.
        while self.watching:
            pids = family(self.p.pid)
            if len(pids) > 1:
                self.sampled = max(self.sampled, sum(pss_mib(pid) for pid in pids))
                self.family = True
            time.sleep(0.1)

    def reset_peak(self):
        """The peak memory counts from now (Linux: 5 to clear_refs sets the peak to what the process holds)."""
        self.sampled = 0
        for pid in family(self.p.pid):
            try:
                with open(f"/proc/{pid}/clear_refs", "w", encoding="ascii") as refs:
                    refs.write("5")
            except OSError:  # a helper that ended, or one another user may not touch
                pass

    def peak(self):
        # A viewer with helpers: the summed PSS (its own resident peak counts pixels a helper maps as well).
        if self.family:
            return self.sampled or None
        return status_mib(self.p.pid, "VmHWM") or None

    def close(self):
        self.watching = False
        self.p.send_signal(signal.SIGTERM)
        try:
            self.p.wait(5)
        except subprocess.TimeoutExpired:
            self.p.kill()
            self.p.wait()
        # Its window may show its last picture a moment longer: a next start showing the same picture (the same
        # first photo at the same size) would otherwise look like no change at all.
        self.probe.ask("cleared 3000")


def out(metric, viewer, value):
    if value is not None:
        print(f"{metric}\t{viewer}\t{value:.1f}", flush=True)


def p95(values):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, round(0.95 * (len(ordered) - 1)))]


def dwell_steps(probe, viewer, label, steps=STEPS):
    latencies, frames = [], []
    for _ in range(steps):
        time.sleep(0.6)  # with the 400 ms the probe waited: 1 s on the picture
        latency, seen, changed = probe.key(NEXT[viewer])
        if changed:
            latencies.append(latency)
            frames.append(seen)
    if latencies:
        out(f"{label}: median", viewer, statistics.median(latencies))
        out(f"{label}: p95", viewer, p95(latencies))
        out(f"{label}: first two", viewer, max(latencies[:2]))
        out(f"{label}: most frames", viewer, max(frames))


def flow_window(probe, viewer, home):
    v = Viewer(viewer, large, False, probe, home)
    out("start to the first photo final on screen, window", viewer, v.start_ms)
    dwell_steps(probe, viewer, "step after 1 s, window")
    out("peak memory, window walk", viewer, v.peak())
    v.close()


def go_full(probe, v):
    if v.name in FULL:
        time.sleep(0.6)
        probe.key(FULL[v.name])


def flow_full(probe, viewer, home):
    v = Viewer(viewer, large, True, probe, home)
    go_full(probe, v)
    v.reset_peak()
    dwell_steps(probe, viewer, "step after 1 s, full screen")
    out("peak memory, full-screen walk", viewer, v.peak())
    v.close()


def flow_quick(probe, viewer, home):
    v = Viewer(viewer, large, True, probe, home)
    go_full(probe, v)
    time.sleep(1.0)
    latencies, missed = [], 0
    for _ in range(STEPS):
        started = time.monotonic()
        latency, _, changed = probe.first(NEXT[viewer], 250)
        if changed:
            latencies.append(latency)
        else:
            missed += 1
        time.sleep(max(0.0, 0.25 - (time.monotonic() - started)))
    out("quick steps (250 ms each), full screen: median", viewer,
        statistics.median(latencies) if latencies else None)
    out("quick steps (250 ms each), full screen: missed", viewer, missed)
    v.close()


def flow_progressive(probe, viewer, home):
    v = Viewer(viewer, prog, True, probe, home)
    go_full(probe, v)
    v.reset_peak()
    dwell_steps(probe, viewer, "progressive JPEG, step after 1 s, full screen", steps=len(files(prog)) - 1)
    out("peak memory, progressive walk", viewer, v.peak())
    v.close()


def main():
    viewers = os.environ.get("VIEWERS", "glimmerbox feh nsxiv qimgv").split()
    if os.environ.get("GLIMMERBOX_BEFORE") and "glimmerbox-before" not in viewers:
        viewers.insert(1, "glimmerbox-before")
    flows = [globals()["flow_" + f] for f in os.environ.get("FLOWS", "window full quick progressive").split()]
    probe = Probe()
    with tempfile.TemporaryDirectory(prefix="gb-screen.") as home:
        # One unrecorded start of each, so that no round pays for loading the programs from disk.
        for viewer in viewers:
            try:
                Viewer(viewer, large, False, probe, home).close()
            except RuntimeError as error:
                print(f"{viewer}, first start: {error}", file=sys.stderr, flush=True)
        for r in range(rounds):
            print(f"screen round {r + 1} of {rounds}", file=sys.stderr, flush=True)
            for flow in flows:
                for viewer in viewers:
                    try:
                        flow(probe, viewer, home)
                    except RuntimeError as error:
                        print(f"{viewer}, {flow.__name__}: {error}", file=sys.stderr, flush=True)


if __name__ == "__main__":
    main()
