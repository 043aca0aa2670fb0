#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A folder on a slow disk: a FUSE mount (fusepy) whose every read waits 2 s, as a network disk may. The window
appears at once and answers a screen reader within 100 ms throughout; the first picture shows once a helper has
read its header and pixels; after Enter the picture on show stays until the next one's have come; Esc and F2
answer at once."""
import os
import subprocess
import sys
import time

from desktop import Desktop, Responsiveness, colour_box, extents, find_accessible, image_area, wait_for

DELAY = 2.0
PICTURES = [("a.jpg", (220, 30, 30)), ("b.jpg", (30, 200, 30)), ("c.jpg", (30, 30, 220))]

# A read-only mirror of a folder whose every read waits DELAY seconds, past any cache (listing and attributes do
# not).
SLOW_FS = r'''
import os, sys, time, fusepy
class Slow(fusepy.Operations):
    def __init__(self, root, delay):
        self.root, self.delay = root, delay
    def _path(self, path):
        return os.path.join(self.root, path.lstrip("/"))
    def getattr(self, path, fh=None):
        try:
            st = os.lstat(self._path(path))
        except OSError as e:
            raise fusepy.FuseOSError(e.errno)
        return {k: getattr(st, k) for k in ("st_atime", "st_ctime", "st_gid", "st_mode", "st_mtime", "st_nlink",
                                            "st_size", "st_uid")}
    def readdir(self, path, fh):
        return [".", ".."] + os.listdir(self._path(path))
    def open(self, path, flags):
        return os.open(self._path(path), os.O_RDONLY)
    def read(self, path, size, offset, fh):
        time.sleep(self.delay)
        return os.pread(fh, size, offset)
    def release(self, path, fh):
        os.close(fh)
fusepy.FUSE(Slow(sys.argv[1], float(sys.argv[3])), sys.argv[2], foreground=True, ro=True, direct_io=True)
'''


def main(binary):
    if not os.path.exists("/dev/fuse"):
        print("skipped: this machine has no FUSE (/dev/fuse)")
        return 77
    with Desktop() as d:
        source, mount = os.path.join(d.tmp, "source"), os.path.join(d.tmp, "slow")
        os.mkdir(source)
        os.mkdir(mount)
        for name, rgb in PICTURES:
            subprocess.run(["convert", "-size", "300x200", "xc:rgb(%d,%d,%d)" % rgb, os.path.join(source, name)],
                           check=True)
        script = os.path.join(d.tmp, "slow_fs.py")
        with open(script, "w") as f:
            f.write(SLOW_FS)
        d.spawn(["/usr/bin/python3", script, source, mount, str(DELAY)])
        assert wait_for(lambda: os.path.exists(os.path.join(mount, "a.jpg")), 10), "the slow folder was not mounted"
        try:
            started = time.time()
            d.start(binary, [os.path.join(mount, "a.jpg")])
            win = d.wait_window("^  Glimmerbox", timeout=10)
            appeared = time.time() - started
            print("window after %.2f s" % appeared)
            assert appeared < 1.5, "the window took %.2f s to appear" % appeared
            app = d.accessible_app("glimmerbox")
            ready = Responsiveness(app)
            area = None

            def shows(name, rgb):
                nonlocal area
                picture = image_area(app, timeout=0)
                if not picture.get_name().startswith("Picture " + name):
                    return None
                area = extents(picture)
                return colour_box(d.screenshot(), rgb, area)

            first = time.time()
            assert ready.wait_for(lambda: shows(*PICTURES[0]), 40), "the first picture was not drawn\n" + \
                d.program_output()
            print("first picture drawn after %.1f s" % (time.time() - first))

            d.wait_focus(win)
            d.run("xdotool", "key", "--window", win, "Return")
            time.sleep(0.3)
            ready.check()
            # The picture on show stays until the next one is there (it may be there already: asked for ahead).
            held = d.screenshot("held.png")
            assert colour_box(held, PICTURES[0][1], area) or colour_box(held, PICTURES[1][1], area), \
                "the picture on show went before the next came\n" + d.program_output()
            step = time.time()
            # Its header and pixels come at 2 s a read, behind what was asked for ahead: up to a minute.
            assert ready.wait_for(lambda: shows(*PICTURES[1]), 60), "the next picture was not drawn\n" + \
                d.program_output()
            print("next picture drawn after %.1f s" % (time.time() - step))

            d.run("xdotool", "key", "--window", win, "Escape")
            assert ready.wait_for(lambda: "FULLSCREEN" in d.wm_state(win), 1.5), "Esc did not enter full screen"
            d.run("xdotool", "key", "--window", win, "Escape")
            assert ready.wait_for(lambda: "FULLSCREEN" not in d.wm_state(win), 1.5), "Esc did not leave full screen"
            d.run("xdotool", "key", "--window", win, "F2")
            assert ready.wait_for(lambda: find_accessible(app, "label", "Thumbnails", timeout=0), 1.5), \
                "F2 did not show the thumbnail bar"
            ready.wait_for(lambda: False, 3)  # the thumbnails read on a slow disk: the window still answers
            print("slowest answer to the screen reader: %.0f ms" % (1000 * ready.slowest))
            assert ready.slowest < 0.1, "the window did not answer for %.0f ms" % (1000 * ready.slowest)
        finally:
            for p in d.procs:
                if p.poll() is None:
                    p.kill()
            subprocess.run(["fusermount", "-u", "-z", mount], capture_output=True)
    print("1 passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
