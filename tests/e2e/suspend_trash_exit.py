#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
""""a" suspends the current picture and the next one is drawn; F3 lists it among the suspended images and
closing that window comes back; "z" moves the current file to the trash; closing the main window, "Keep ?"
answered No, moves the suspended file to the trash too, and the program ends with code 0."""
import os
import sys

from desktop import PALETTE, Desktop, colour_box, extents, find_accessible, image_area, wait_for

PICTURES = [(name + ".jpg", PALETTE[colour])
            for name, colour in [("a", "green"), ("b", "orange"), ("c", "purple"), ("d", "teal")]]


def main(binary):
    with Desktop() as d:
        folder, trash = d.pictures_and_trash(PICTURES)
        app_process = d.start(binary, [os.path.join(folder, "a.jpg")])
        win = d.wait_window("^  Glimmerbox")
        app = d.accessible_app("glimmerbox")
        find_accessible(app, "label", "Tot=4", timeout=10)
        image = extents(image_area(app))
        picture = lambda i: wait_for(lambda: colour_box(d.screenshot("s.png"), PICTURES[i][1], image), 10)
        assert picture(0), "a.jpg not drawn"

        # "a": a.jpg is suspended, b.jpg drawn.
        d.wait_focus(win)
        d.run("xdotool", "key", "--window", win, "a")
        assert picture(1), "the next picture was not drawn after a"
        find_accessible(app, "label", "Tot=3", timeout=5)

        # F3: the suspended-images window lists a.jpg; closing it comes back to the main window.
        d.wait_focus(win)
        d.run("xdotool", "key", "--window", win, "F3")
        d.wait_window("Current Images.*Suspended Images.*Preview")
        suspended = find_accessible(app, "list", "Suspended Images", timeout=5)
        names = [suspended.get_child_at_index(i).get_name() for i in range(suspended.get_child_count())]
        print("suspended list:", names)
        assert names == ["a.jpg"], names
        current = find_accessible(app, "list", "Current Images")
        assert [current.get_child_at_index(i).get_name() for i in range(current.get_child_count())] == \
            ["b.jpg", "c.jpg", "d.jpg"]
        d.run("xdotool", "key", "alt+F4")  # openbox's close, as the close box does
        win = d.wait_window("^  Glimmerbox")
        assert picture(1), "the main window did not come back with b.jpg"

        # "z": b.jpg goes to the trash.
        d.wait_focus(win)
        d.run("xdotool", "key", "--window", win, "z")
        assert picture(2), "the next picture was not drawn after z\n" + d.program_output()
        assert wait_for(lambda: not os.path.exists(os.path.join(folder, "b.jpg")), 5), "b.jpg still in its folder"
        assert os.path.exists(os.path.join(trash, "b.jpg")), os.listdir(os.path.dirname(trash))
        print("b.jpg is in the trash")

        # The close box, then "Keep ?" answered No: a.jpg goes to the trash as well.
        d.click_close_box()
        keep = find_accessible(app, "label", "Keep ?", timeout=10)
        no = find_accessible(app, "push button", "No", timeout=5)
        d.click_on(no)
        code = app_process.wait(15)
        print("exit code", code)
        assert code == 0, code
        assert not os.path.exists(os.path.join(folder, "a.jpg")) and os.path.exists(os.path.join(trash, "a.jpg"))
        assert sorted(os.listdir(folder)) == ["c.jpg", "d.jpg"], os.listdir(folder)
        del keep
    print("1 passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
