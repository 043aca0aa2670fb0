#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Pictures built to cost far more than their size on disk, met as a user meets them: the program started on them
with the thumbnail bar on. Three folders, each made here:
- a transparent GIF of 11000 x 11000 (83 KB);
- pictures whose shared thumbnail-cache entries are poisoned: 11000 x 11000 PNGs in x-large and xx-large, a
  named pipe in normal, a PNG cut short in large;
- three progressive-JPEG scan bombs (thousands of passes over 16 megapixels each).
In each, a plain picture is asked for while the hostile ones are being read: it is drawn within 1 s; the memory
of the program and its decoder helpers together stays under 600 MiB until every thumbnail has settled; the window
answers a screen reader within 100 ms throughout; closing it ends the program and every helper within 1 s."""
import hashlib
import os
import subprocess
import sys
import threading
import time
import zlib

import gi

gi.require_version("GLib", "2.0")
from gi.repository import GLib  # noqa: E402

from desktop import Desktop, Responsiveness, extents, image_area, screen_pixels  # noqa: E402
from desktop import wait_for as poll  # noqa: E402

GREEN = (30, 200, 30)
LIMIT_MIB = 600
sanitized = "ASAN_OPTIONS" in os.environ  # scripts/sanitize.sh runs the suite on a build with the address sanitizer
SOON = 5.0 if sanitized else 1.0  # a sanitized build starts and decodes several times slower


def lzw_run(count, index, min_code_size):
    """The LZW data of `count` pixels of one index, as an encoder that clears its table when full writes it:
    each code stands for a run one longer than the one before."""
    clear = 1 << min_code_size
    first = clear + 2
    state = {"acc": 0, "bits": 0, "width": min_code_size + 1, "next": first}
    out = bytearray()

    def write(code):
        state["acc"] |= code << state["bits"]
        state["bits"] += state["width"]
        while state["bits"] >= 8:
            out.append(state["acc"] & 0xFF)
            state["acc"] >>= 8
            state["bits"] -= 8
        if state["next"] >= (1 << state["width"]) and state["width"] < 12:
            state["width"] += 1

    def code_of(run):
        return index if run == 1 else first + run - 2

    write(clear)
    remaining, run = count, 1
    while remaining > run:
        write(code_of(run))
        remaining -= run
        if state["next"] >= 4095:
            write(clear)
            state["next"], state["width"], run = first, min_code_size + 1, 1
        else:
            state["next"] += 1
            run += 1
    write(code_of(remaining))
    write(clear + 1)
    if state["bits"] > 0:
        out.append(state["acc"] & 0xFF)
    return bytes(out)


def transparent_gif(path, width, height):
    le16 = lambda v: bytes([v & 0xFF, v >> 8])  # noqa: E731
    gif = b"GIF89a" + le16(width) + le16(height) + b"\x80\x00\x00" + b"\xff\x00\x00\x00\x00\xff"
    gif += b"\x21\xf9\x04\x01\x00\x00\x01\x00"  # transparent index 1
    gif += b"\x2c" + le16(0) + le16(0) + le16(width) + le16(height) + b"\x00\x02"
    data = lzw_run(width * height, 1, 2)
    for at in range(0, len(data), 255):
        block = data[at:at + 255]
        gif += bytes([len(block)]) + block
    with open(path, "wb") as f:
        f.write(gif + b"\x00\x3b")


def scan_bomb(path, side, copies):
    """A progressive JPEG of one grey whose smallest scan after the first stands `copies` more times."""
    subprocess.run(["convert", "-size", "%dx%d" % (side, side), "xc:gray50", "-quality", "90", "-interlace", "JPEG",
                    path], check=True)
    data = open(path, "rb").read()
    starts = []
    at = data.find(b"\xff\xda")
    while at >= 0:
        starts.append(at)
        at = data.find(b"\xff\xda", at + 2)
    starts.append(len(data) - 2)
    scans = [data[starts[i]:starts[i + 1]] for i in range(1, len(starts) - 1)]
    with open(path, "wb") as f:
        f.write(data[:-2] + min(scans, key=len) * copies + b"\xff\xd9")


def png_chunk(kind, body):
    return len(body).to_bytes(4, "big") + kind + body + zlib.crc32(kind + body).to_bytes(4, "big")


def thumbnail_png(picture, width, height):
    """A valid grey PNG of width x height, black all over, with the cache keys of `picture` as it is now."""
    packer = zlib.compressobj(9)
    row = bytes(width + 1)
    pixels = b"".join(packer.compress(row) for _ in range(height)) + packer.flush()
    keys = png_chunk(b"tEXt", b"Thumb::URI\0" + GLib.filename_to_uri(picture, None).encode()) + png_chunk(
        b"tEXt", b"Thumb::MTime\0" + str(int(os.stat(picture).st_mtime)).encode())
    header = width.to_bytes(4, "big") + height.to_bytes(4, "big") + b"\x08\x00\x00\x00\x00"
    return b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) + keys + png_chunk(b"IDAT", pixels) + png_chunk(
        b"IEND", b"")


def cache_entry(cache, size, picture):
    folder = os.path.join(cache, "thumbnails", size)
    os.makedirs(folder, mode=0o700, exist_ok=True)
    for level in (os.path.dirname(folder), folder):
        os.chmod(level, 0o700)
    return os.path.join(folder, hashlib.md5(GLib.filename_to_uri(picture, None).encode()).hexdigest() + ".png")


def poisoned_cache(folder, cache):
    for name in ("a.jpg", "b.jpg", "c.jpg"):
        subprocess.run(["convert", "-size", "2000x1500", "plasma:", os.path.join(folder, name)], check=True)
    a, b, c = (os.path.join(folder, n) for n in ("a.jpg", "b.jpg", "c.jpg"))
    for size in ("x-large", "xx-large"):
        with open(cache_entry(cache, size, a), "wb") as f:
            f.write(thumbnail_png(a, 11000, 11000))
    os.mkfifo(cache_entry(cache, "normal", b))
    with open(cache_entry(cache, "large", c), "wb") as f:
        f.write(thumbnail_png(c, 256, 192)[:300])
    return "c.jpg"


def gif_screen(folder, cache):
    transparent_gif(os.path.join(folder, "a.gif"), 11000, 11000)
    return "a.gif"


def scan_bombs(folder, cache):
    for name in ("a.jpg", "b.jpg", "c.jpg"):
        scan_bomb(os.path.join(folder, name), 4000, 1500)
    return "c.jpg"


CASES = [("a transparent GIF of 11000 x 11000", gif_screen), ("poisoned thumbnail-cache entries", poisoned_cache),
         ("three scan bombs", scan_bombs)]


def processes(pid):
    """The program and its helpers (the children of every thread of it)."""
    pids = [str(pid)]
    try:
        for task in os.listdir("/proc/%d/task" % pid):
            with open("/proc/%d/task/%s/children" % (pid, task)) as f:
                pids += f.read().split()
    except OSError:
        pass
    return pids


def status_kib(pid, field):
    try:
        with open("/proc/%s/status" % pid) as f:
            for line in f:
                if line.startswith(field + ":"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


class MemoryWatch:
    """The resident memory of the program and its helpers together, read every 10 ms (helpers come and go, so
    their own peaks cannot be added up afterwards), and each one's peak among those running at the end."""

    def __init__(self, pid):
        self.pid, self.peak_kib, self.running = pid, 0, True
        self.thread = threading.Thread(target=self.watch, daemon=True)
        self.thread.start()

    def watch(self):
        while self.running:
            self.peak_kib = max(self.peak_kib, sum(status_kib(p, "VmRSS") for p in processes(self.pid)))
            time.sleep(0.01)

    def stop(self):
        self.running = False
        self.thread.join()
        return max(self.peak_kib, sum(status_kib(p, "VmHWM") for p in processes(self.pid))) // 1024


def cpu_ticks(pids):
    total = 0
    for pid in pids:
        try:
            with open("/proc/%s/stat" % pid) as f:
                fields = f.read().rsplit(")", 1)[1].split()
            total += int(fields[11]) + int(fields[12])
        except OSError:
            pass
    return total


def settle(pid, ready, timeout=60):
    """Waits until the program and its helpers have used no processor time for 1.5 s."""
    end = time.time() + timeout
    last, since = cpu_ticks(processes(pid)), time.time()
    while time.time() < end:
        ready.check()
        time.sleep(0.1)
        now = cpu_ticks(processes(pid))
        if now != last:
            last, since = now, time.time()
        elif time.time() - since > 1.5:
            return True
    return False


def run_case(d, binary, what, make):
    root = os.path.join(d.tmp, "case%d" % CASES.index((what, make)))
    folder, cache = os.path.join(root, "pictures"), os.path.join(root, "cache")
    os.makedirs(folder)
    first = make(folder, cache)
    subprocess.run(["convert", "-size", "200x200", "xc:rgb(%d,%d,%d)" % GREEN, os.path.join(folder, "z plain.bmp")],
                   check=True)
    program = d.start(binary, [os.path.join(folder, first)], env={"XDG_CACHE_HOME": cache})
    memory = MemoryWatch(program.pid)
    win = d.wait_window("^  Glimmerbox")
    app = d.accessible_app("glimmerbox")
    ready = Responsiveness(app)
    wait_for = ready.wait_for
    area = image_area(app, timeout=10)
    assert wait_for(lambda: area.get_name().startswith("Picture " + first), 10), \
        "%s: the first picture was not shown\n%s" % (what, d.program_output())
    d.wait_focus(win)
    d.run("xdotool", "key", "--window", win, "F2")
    time.sleep(0.5)
    d.run("xdotool", "key", "--window", win, "Return")
    pressed = time.time()

    def drawn():
        # The picture is drawn across the middle of the area: a line down it meets its colour.
        x, y, w, h = extents(area)
        return any(all(abs(a - b) < 40 for a, b in zip(colour, GREEN)) for colour in
                   screen_pixels(x + w // 2, y, 1, h)) and area.get_name().startswith("Picture z ")

    assert wait_for(drawn, SOON), "%s: the picture asked for was not drawn within 1 s" % what
    print("%s: the picture asked for drawn after %.2f s" % (what, time.time() - pressed))
    assert settle(program.pid, ready), "%s: still decoding after a minute" % what
    peak = memory.stop()
    print("%s: peak memory of the program and its helpers %d MiB" % (what, peak))
    # The address sanitizer's shadow memory and quarantine say nothing of what the program itself holds.
    assert sanitized or peak < LIMIT_MIB, "%s: %d MiB" % (what, peak)
    assert ready.slowest < SOON / 10, "%s: the window did not answer for %.0f ms" % (what, 1000 * ready.slowest)
    pids = processes(program.pid)
    d.run("xdotool", "key", "--window", win, "alt+F4")
    closed = time.time()
    assert poll(lambda: program.poll() is not None and not any(os.path.exists("/proc/" + p) for p in pids[1:]),
                SOON, 0.02), \
        "%s: still running 1 s after the window was closed" % what
    print("%s: the program and its %d helpers ended %.2f s after the window was closed" % (
        what, len(pids) - 1, time.time() - closed))


def main(binary, only=None):
    if only is None:
        # A process for each case: the accessibility library keeps the session bus it first met.
        failed = [what for what, _ in CASES
                  if subprocess.run([sys.executable, os.path.abspath(__file__), binary, what]).returncode != 0]
        print("%d passed, %d failed" % (len(CASES) - len(failed), len(failed)))
        return 1 if failed else 0
    for what, make in CASES:
        if what == only:
            with Desktop() as d:
                run_case(d, binary, what, make)
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:3]))
