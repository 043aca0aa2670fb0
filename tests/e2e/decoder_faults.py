#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Decoders that go wrong, in the real program: with the test helper (which fails on command when a file starts
with "GLIMMERBOX-FAULT "), a walk through a folder where the helper crashes, opens a file, opens a socket,
allocates without end, lies about its pixels and hangs. Each picture's place says why it cannot be shown, at once
or when its time is up; the window answers a screen reader within 100 ms throughout; the picture after a hanging
one, and the next after each failure, is drawn within 1 s of the key; closing the window ends the program and every helper within 1 s."""
import os
import subprocess
import sys
import time

from desktop import Desktop, Responsiveness, colour_box, extents, image_area
from desktop import wait_for as poll

NOT_ALLOWED = "the decoder tried something it is not allowed to do"
FAULTS = [("b.jpg", "crash", "the decoder crashed"), ("c.jpg", "open", NOT_ALLOWED), ("d.jpg", "socket", NOT_ALLOWED),
          ("e.jpg", "allocate", "it needs more memory than this viewer allows"),
          ("f.jpg", "unsealed", "the decoder handed over something else"),
          ("g.jpg", "hang", "it takes longer than 15 seconds to decode")]
RED, BLUE = (220, 30, 30), (30, 30, 220)
sanitized = "ASAN_OPTIONS" in os.environ  # scripts/sanitize.sh runs the suite on a build with the address sanitizer
SOON = 5.0 if sanitized else 1.0  # a sanitized build starts and decodes several times slower
if sanitized:
    # The address sanitizer's shadow memory rules out a memory cap: nothing would end the allocation in time.
    FAULTS = [f for f in FAULTS if f[1] != "allocate"]


def main(binary):
    faulty = os.path.join(os.path.dirname(os.path.abspath(binary)), "tests", "glimmerbox-decoder-faults")
    with Desktop() as d:
        folder = os.path.join(d.tmp, "pictures")
        os.mkdir(folder)
        subprocess.run(["convert", "-size", "300x200", "xc:rgb(%d,%d,%d)" % RED, os.path.join(folder, "a.jpg")],
                       check=True)
        subprocess.run(["convert", "-size", "300x200", "xc:rgb(%d,%d,%d)" % BLUE, os.path.join(folder, "h.jpg")],
                       check=True)
        for name, fault, _ in FAULTS:
            with open(os.path.join(folder, name), "w") as f:
                f.write("GLIMMERBOX-FAULT %s\n" % fault)
        program = d.start(binary, [os.path.join(folder, "a.jpg")], env={"GLIMMERBOX_DECODER": faulty})
        win = d.wait_window("^  Glimmerbox")
        app = d.accessible_app("glimmerbox")
        ready = Responsiveness(app)
        wait_for = ready.wait_for

        def shown(name):
            return image_area(app, timeout=0).get_name().startswith("Picture " + name + ",")

        def drawn(name, rgb):
            return shown(name) and colour_box(d.screenshot(), rgb, extents(image_area(app, timeout=0)))

        assert wait_for(lambda: drawn("a.jpg", RED), 10), "the first picture was not drawn\n" + d.program_output()
        d.wait_focus(win)

        def told(name, reason, timeout):
            said = "Picture %s cannot be shown. %s." % (name, reason[0].upper() + reason[1:])
            if not reason.startswith(("it ", "too ")):
                said = "Picture %s cannot be shown. The picture could not be decoded (%s)." % (name, reason)
            return wait_for(lambda: image_area(app, timeout=0).get_name() == said, timeout)

        for name, fault, reason in FAULTS[:-1]:
            d.run("xdotool", "key", "--window", win, "Return")
            pressed = time.time()
            assert told(name, reason, 3), "%s: the place says %r\n%s" % (
                fault, image_area(app, timeout=0).get_name(), d.program_output())
            print("%s: told after %.1f s" % (fault, time.time() - pressed))
        # Past the picture whose decoder hangs: the next one is drawn all the same.
        d.run("xdotool", "key", "--window", win, "Return")
        time.sleep(0.3)
        d.run("xdotool", "key", "--window", win, "Return")
        pressed = time.time()
        assert wait_for(lambda: shown("h.jpg"), SOON), "the picture after a hanging one was not shown within 1 s"
        print("past the hanging decoder, the next picture shown after %.2f s" % (time.time() - pressed))
        assert wait_for(lambda: drawn("h.jpg", BLUE), 2.0), "the picture after a hanging one was not drawn"
        # Back onto it (which pauses the slideshow): its place tells, when its time is up, that it was too slow.
        d.run("xdotool", "key", "--window", win, "BackSpace")
        name, fault, reason = FAULTS[-1]
        assert told(name, reason, 17), "%s: the place says %r" % (fault, image_area(app, timeout=0).get_name())
        d.run("xdotool", "key", "--window", win, "Return")
        pressed = time.time()
        assert wait_for(lambda: shown("h.jpg"), SOON), "the next picture was not shown within 1 s"
        print("next picture shown after %.2f s" % (time.time() - pressed))
        assert wait_for(lambda: drawn("h.jpg", BLUE), 2.0), "the next picture was not drawn"
        print("slowest answer to the screen reader: %.0f ms" % (1000 * ready.slowest))
        assert ready.slowest < SOON / 10, "the window did not answer for %.0f ms" % (1000 * ready.slowest)

        # Closing the window ends the program and every helper it started within 1 s.
        helpers = subprocess.run(["pgrep", "-P", str(program.pid)],
                                 capture_output=True, text=True).stdout.split()
        assert helpers, "no helper seen"
        d.run("xdotool", "key", "--window", win, "alt+F4")
        closed = time.time()
        gone = poll(lambda: program.poll() is not None and
                    not any(os.path.exists("/proc/" + pid) for pid in helpers), SOON, 0.02)
        assert gone, "still running 1 s after the window was closed"
        print("the program and its %d helpers ended %.2f s after the window was closed" % (
            len(helpers), time.time() - closed))
    print("1 passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
