#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A person opens a picture through the File menu and the dialog, sees it centred, steps on with Enter, lets
the slideshow run at one second and pauses it with a click on the picture."""
import os
import sys
import time

from desktop import PALETTE, Desktop, accessible_walk, colour_box, extents, find_accessible, image_area, make_pictures

# One colour a picture, none of them used by the window itself.
PICTURES = [("%s %s.jpg" % (letter, colour), PALETTE[colour], size) for letter, colour, size in
            [("a", "green", "400x300"), ("b", "orange", "300x360"), ("c", "purple", "500x200"),
             ("d", "teal", "240x240"), ("e", "olive", "320x200")]]


def wait_for_picture(d, colour, area, timeout):
    """Screenshots until a picture of `colour` stands in `area`; its box, or None."""
    end = time.time() + timeout
    while time.time() < end:
        box = colour_box(d.screenshot("walk.png"), colour, area)
        if box and box[2] > 50 and box[3] > 50:
            return box
        time.sleep(0.1)
    return None


def main(binary):
    with Desktop() as d:
        pictures = os.path.join(d.tmp, "my pictures")
        os.mkdir(pictures)
        make_pictures(pictures, PICTURES, "300x200", "-quality", "95")
        d.start(binary)
        win = d.wait_window("^  Glimmerbox")
        app = d.accessible_app("glimmerbox")

        # File > Select and open Image files, then type the path into the dialog.
        d.click_on(find_accessible(app, "menu item", "File"))
        item = find_accessible(app, "menu item", "Select and open Image files")
        d.click_on(item)
        dialog = d.wait_window("^Select a Folder and a starting File$")
        d.wait_focus(dialog)
        time.sleep(0.3)
        d.run("xdotool", "type", "--delay", "20", os.path.join(pictures, "b orange.jpg"))
        d.run("xdotool", "key", "Return")

        image = image_area(app)
        area = extents(image)
        box = wait_for_picture(d, PICTURES[1][1], area, 10)
        assert box, "the chosen picture was not drawn"
        print("image area", area, "orange picture at", box)
        assert (box[2], box[3]) == (300, 360), box
        assert abs((box[0] + box[2] / 2) - (area[0] + area[2] / 2)) <= 3, "not centred horizontally"
        assert find_accessible(app, "label", "Tot=5") and find_accessible(app, "label", "Cur=2")
        assert find_accessible(app, "label", "Pause")

        # Enter: the next picture.
        d.wait_focus(win)
        d.run("xdotool", "key", "Return")
        box = wait_for_picture(d, PICTURES[2][1], area, 5)
        assert box and (box[2], box[3]) == (500, 200), box
        print("after Enter, purple picture at", box)

        # Interval 1 second: the slideshow moves on by itself.
        # The combo boxes are read out by what they are for, not by their text.
        names = sorted(obj.get_name() for _, obj in accessible_walk(app) if obj.get_role_name() == "combo box")
        assert names == ["Images of the folder", "Slideshow interval in seconds"], names
        d.click_on(find_accessible(app, "combo box", "Slideshow interval in seconds"))
        one = find_accessible(app, "list item", "1")
        # The popup list is narrower than its items report: click near the item's left end.
        x, y, w, h = extents(one)
        d.click_at(x + 10, y + h // 2)
        picked = time.time()
        find_accessible(app, "label", "Cur=4", timeout=2.5)
        print("slideshow moved on after %.2f s" % (time.time() - picked))
        box = wait_for_picture(d, PICTURES[3][1], area, 2)
        assert box, "the slideshow's next picture was not drawn"

        # A click on the picture pauses the slideshow: "Pause" shows and the picture stays.
        d.click_at(box[0] + box[2] // 2, box[1] + box[3] // 2)
        find_accessible(app, "label", "Pause", timeout=3)
        time.sleep(2.0)
        assert colour_box(d.screenshot("paused.png"), PICTURES[3][1], area), "the picture changed while paused"
        assert not colour_box(d.screenshot("paused.png"), PICTURES[4][1], area)
    print("1 passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
