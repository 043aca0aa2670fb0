#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A real drag between two programs (XDND under Xvfb + openbox), from a GTK window as most Linux file managers
are: text dragged from another window onto the viewer is refused and changes nothing; a picture file dragged onto it opens its folder at that picture, and the
drop is a copy (a move would have the file manager delete the file). The file's name is not UTF-8 (a line break and
the byte 0xFF, addressed as GLib writes it): the name is the file's own, byte for byte."""
import os
import sys
import time

from gi.repository import GLib

from desktop import (Desktop, accessible_states, accessible_walk, colour_box, extents, find_accessible, image_area,
                     make_pictures, wait_for)

BLUE = (0, 0, 255)


def drag(d, source_argv, log):
    """Starts the drag source with these items, drags from it to the middle of the screen, and gives the action
    the viewer chose and the source's window (left open: a file manager stays while the drop is read)."""
    d.spawn(source_argv, log=log)
    wait_for(lambda: d.run("xdotool", "search", "--onlyvisible", "--name", "^drag source$"), 10)
    source = d.run("xdotool", "search", "--onlyvisible", "--name", "^drag source$").split()[0]
    d.run("xdotool", "windowmove", "--sync", source, "900", "600")
    time.sleep(0.5)
    d.run("xdotool", "mousemove", "--sync", "1000", "700", "mousedown", "1")
    time.sleep(0.3)
    for x, y in [(980, 680), (900, 600), (700, 500), (600, 450), (590, 460)]:
        d.run("xdotool", "mousemove", "--sync", str(x), str(y))
        time.sleep(0.2)
    d.run("xdotool", "mouseup", "1")
    said = wait_for(lambda: [line for line in open(log).read().splitlines() if line.startswith("drop action")], 10)
    return said[-1] if said else open(log).read(), source


def report(d, app):
    """What the viewer shows and said, for a failing check."""
    for depth, obj in accessible_walk(app):
        try:
            if accessible_states(obj)["showing"]:
                print("  " * depth, obj.get_role_name(), repr(obj.get_name()))
        except Exception:
            continue
    print(d.program_output())


def main(binary):
    source_binary = [sys.executable, os.path.join(os.path.dirname(os.path.abspath(__file__)), "drag_source.py")]
    with Desktop() as d:
        folder = make_pictures(os.path.join(d.tmp, "pictures"), [("a.jpg", "red"), ("b.jpg", "blue")])
        picture = os.fsencode(folder) + b"/new\nline\xff.jpg"
        os.rename(os.path.join(folder, "b.jpg"), picture)
        address = GLib.filename_to_uri(picture, None)
        d.start(binary)
        d.wait_window("^  Glimmerbox")
        app = d.accessible_app("glimmerbox")
        find_accessible(app, "label", "Tot=0", timeout=10)

        said, source = drag(d, source_binary + ["text:" + os.path.join(folder, "a.jpg")], os.path.join(d.tmp, "text.log"))
        print("text:", said)
        assert said == "drop action 0", said
        time.sleep(0.5)
        find_accessible(app, "label", "Tot=0", timeout=1)
        d.run("xdotool", "windowkill", source)

        print("address:", address)
        said, source = drag(d, source_binary + [address], os.path.join(d.tmp, "file.log"))
        print("file:", said)
        assert said == "drop action 1", said  # Qt::CopyAction
        try:
            find_accessible(app, "label", "Tot=2", timeout=10)
        except AssertionError:
            report(d, app)
            raise
        area = extents(image_area(app))
        box = wait_for(lambda: colour_box(d.screenshot("dropped.png"), BLUE, area), 10)
        assert box and box[2:] == (300, 200), box
        assert os.path.exists(picture), "the dropped file is gone"
    print("1 passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
