#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Started as a file manager or a shell starts it on several paths: pictures of one folder, one of another folder, a
missing file, a named pipe, a text file and a hidden picture. The first one's folder opens at the first file given,
and one message box names every path that was not opened with its reason; after "OK" the walk goes on in the folder
opened. The window carries the program's icon."""
import os
import re
import sys

from desktop import PALETTE, Desktop, accessible_walk, find_accessible, make_pictures, solid_picture, wait_for

PICTURES = [("one/b.bmp", PALETTE["green"]), ("one/a.bmp", PALETTE["orange"]), ("one/c.bmp", PALETTE["blue"]),
            ("two/d.bmp", PALETTE["purple"]), ("two/e.bmp", PALETTE["red"])]


def texts_under(obj):
    found = []
    for _, child in accessible_walk(obj):
        try:
            if child.get_role_name() == "label" and child.get_name():
                found.append(child.get_name())
        except Exception:
            continue
    return found


def main(binary):
    with Desktop() as d:
        for folder in ("one", "two"):
            make_pictures(os.path.join(d.tmp, folder), [(name[4:], colour) for name, colour in PICTURES
                                                        if name.startswith(folder)], "64x48")
        os.mkfifo(os.path.join(d.tmp, "one/fifo.jpg"))
        with open(os.path.join(d.tmp, "one/notes.txt"), "w") as notes:
            notes.write("not a picture\n")
        solid_picture(os.path.join(d.tmp, "one/.hidden.bmp"), "white", "8x8")
        names = ("one/b.bmp", "one/missing.bmp", "one/fifo.jpg", "one/notes.txt", "two/d.bmp", "one/.hidden.bmp",
                 "one/c.bmp")
        given = [os.path.join(d.tmp, n) for n in names]
        d.start(binary, given)
        win = d.wait_window("^  Glimmerbox")
        app = d.accessible_app("glimmerbox")
        box = find_accessible(app, "alert", timeout=15)
        said = " ".join(texts_under(box))
        print("message:", said)
        one = os.path.realpath(os.path.join(d.tmp, "one"))
        expected = "\n".join([
            "These 5 were not opened:",
            given[1] + ": there is no such file or folder.",
            given[2] + ": it is a named pipe (FIFO), not a picture file.",
            given[3] + ": it is not a jpg, jpeg, gif or bmp picture.",
            given[4] + ": it is not in the folder " + one + ", and Glimmerbox shows the pictures of one folder at a time.",
            given[5] + ": its name starts with a dot: hidden files are not shown."])
        assert expected in said, said
        # Behind it, the first file's folder at the first file given.
        find_accessible(app, "label", "Tot=3", timeout=5)
        find_accessible(app, "label", "Picture b.bmp, 64 by 48", timeout=5)
        d.run("xdotool", "key", "Return")
        assert wait_for(lambda: not find_alert(app), 5), "the message stayed"
        d.run("xdotool", "key", "Return")
        find_accessible(app, "label", "Picture c.bmp, 64 by 48", timeout=5)
        # The window's own icon comes a moment after the window shows.
        icon = ""

        def icon_set():
            nonlocal icon
            icon = d.run("xprop", "-id", win, "_NET_WM_ICON")
            sizes = set(re.findall(r"Icon \((\d+ x \d+)\)", icon))
            return "16 x 16" in sizes and "48 x 48" in sizes

        assert wait_for(icon_set, 5), icon[:300]
        print("window icon sizes:", sorted(set(re.findall(r"Icon \((\d+ x \d+)\)", icon))))
    print("1 passed, 0 failed")
    return 0


def find_alert(app):
    try:
        return find_accessible(app, "alert", timeout=0)
    except AssertionError:
        return None


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
