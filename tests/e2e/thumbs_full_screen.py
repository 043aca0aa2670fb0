#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""F2 shows the thumbnail bar with its thumbnails drawn; a click on the third thumbnail shows the third
picture; Esc gives the full-screen window with the picture fitted on the dark blue field; Esc again brings the
menu bar back."""
import os
import sys

from desktop import (PALETTE, Desktop, accessible_states, colour_box, extents, find_accessible, image_area,
                     make_pictures, read_ppm, wait_for)

PICTURES = [("a.jpg", PALETTE["green"], "400x300"), ("b.jpg", PALETTE["orange"], "300x360"),
            ("c.jpg", PALETTE["purple"], "2400x1800"), ("d.jpg", PALETTE["teal"], "240x240")]
BLUE = (0, 0, 192)


def main(binary):
    with Desktop() as d:
        folder = make_pictures(os.path.join(d.tmp, "pictures"), PICTURES)
        d.start(binary, [os.path.join(folder, "a.jpg")])
        win = d.wait_window("^  Glimmerbox")
        app = d.accessible_app("glimmerbox")
        find_accessible(app, "label", "Tot=4", timeout=10)

        d.wait_focus(win)
        d.run("xdotool", "key", "--window", win, "F2")
        bar = extents(find_accessible(app, "label", "Thumbnails", timeout=5))
        print("thumbnail bar at", bar)

        def thumbnails():
            shot = d.screenshot("bar.png")
            boxes = [colour_box(shot, colour, bar) for _, colour, _ in PICTURES]
            return boxes if all(b and b[2] >= 45 and b[3] >= 45 for b in boxes) else None
        boxes = wait_for(thumbnails, 10)
        assert boxes, "the thumbnails were not drawn"
        print("thumbnails", boxes)
        assert all(b[2] <= 52 and b[3] <= 52 for b in boxes), boxes
        assert [b[1] for b in boxes] == sorted(b[1] for b in boxes), "not in queue order"

        x, y, w, h = boxes[2]
        d.click_at(x + w // 2, y + h // 2)
        find_accessible(app, "label", "Cur=3", timeout=5)
        image = extents(image_area(app))
        shown = wait_for(lambda: colour_box(d.screenshot("third.png"), PICTURES[2][1], image), 10)
        assert shown and shown[2] > 400, shown
        print("third picture at", shown)

        # Full screen: the blue field fills the screen and the picture fits inside it.
        d.wait_focus(win)
        d.run("xdotool", "key", "--window", win, "Escape")

        def full_screen():
            shot = d.screenshot("full.png")
            width, height, pixels = read_ppm(shot)
            at = lambda px, py: tuple(pixels[3 * (py * width + px):3 * (py * width + px) + 3])
            blue = all(abs(c - e) < 30 for c, e in zip(at(10, height // 2), BLUE)) and \
                all(abs(c - e) < 30 for c, e in zip(at(width - 30, height - 30), BLUE))
            box = colour_box(shot, PICTURES[2][1])
            return (box, width, height) if blue and box else None
        found = wait_for(full_screen, 10, 0.3)
        assert found, "no full-screen blue field with the picture"
        box, width, height = found
        print("full screen picture at", box)
        assert box[0] >= 0 and box[1] >= 0 and box[0] + box[2] <= width and box[1] + box[3] <= height, box
        assert box[2] < 2400 and abs(box[2] / box[3] - 4 / 3) < 0.02, box
        geometry = d.run("xdotool", "getwindowgeometry", win)
        assert "Geometry: %dx%d" % (width, height) in geometry, geometry
        file_menu = find_accessible(app, "menu item", "File", showing=False)
        assert not accessible_states(file_menu)["showing"], "the menu bar is still shown"

        d.wait_focus(win)
        d.run("xdotool", "key", "--window", win, "Escape")
        find_accessible(app, "menu item", "File", timeout=5)
        assert "_NET_WM_STATE_FULLSCREEN" not in d.run("xprop", "-id", win, "_NET_WM_STATE")
        # Below the title bar, whose window icon has a frame of that blue.
        back = wait_for(lambda: colour_box(d.screenshot("back.png"), BLUE, (0, 60, 200, 200)) is None, 5)
        assert back, "the blue field stayed after leaving full screen"
    print("1 passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
