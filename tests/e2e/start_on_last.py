#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Started from the command line on the last picture of a folder, twenty times: the position label reads "END"
every time (never "Cur=3") and the small picture stands at the same place every time, pushed down by the line
breaks that the maximised window's browser height gives."""
import os
import sys
import time

from desktop import PALETTE, Desktop, colour_box, extents, find_accessible, make_pictures, wait_for

W, H = 1920, 1080
LAUNCHES = 20
PICTURES = [("a.bmp", PALETTE["green"], "300x200"), ("b.bmp", PALETTE["orange"], "200x300"),
            ("c.bmp", PALETTE["purple"], "127x64")]


def main(binary):
    with Desktop(W, H) as d:
        folder = make_pictures(os.path.join(d.tmp, "pictures"), PICTURES)
        places = []
        for launch in range(LAUNCHES):
            program = d.start(binary, [os.path.join(folder, "c.bmp")])
            win = d.wait_window("^  Glimmerbox")
            app = d.accessible_app("glimmerbox")
            find_accessible(app, "label", "Tot=3", timeout=10)
            find_accessible(app, "label", "END", timeout=5)
            area = extents(find_accessible(app, "label", "Picture c.bmp, 127 by 64", timeout=5))
            box = wait_for(lambda: colour_box(d.screenshot("last.png"), PICTURES[2][1], area), 10, 0.1)
            assert box and box[2:] == (127, 64), box
            # The label again, a moment later: nothing raised a jump after the start.
            time.sleep(0.3)
            find_accessible(app, "label", "END", timeout=1)
            places.append((box[0] - area[0], box[1] - area[1]))
            program.terminate()
            program.wait(10)
            wait_for(lambda: not d.run("xdotool", "search", "--onlyvisible", "--name", "^  Glimmerbox"), 10)
        print("picture at", places[0], "in the image area; image area", area)
        assert len(set(places)) == 1, places
        # (browser height - 64) / 50 line breaks push it down: far from the top on a 1080-pixel screen.
        assert places[0][1] > 200, places[0]
    print("1 passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
