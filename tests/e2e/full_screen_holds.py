#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Full screen holds whatever the user does in it: Enter, Enter again, Backspace, keypad + and a slideshow tick
each leave the window full screen (the window manager says so, it covers the screen, no menu bar) with the
picture drawn on the blue field; bursts of Esc end in the state their count implies."""
import os
import sys
import time

from desktop import (PALETTE, Desktop, accessible_states, colour_box, extents, find_accessible, make_pictures, read_ppm,
                     wait_for)

W, H = 1920, 1080
BLUE = (0, 0, 192)
PICTURES = [(name + ".jpg", PALETTE[colour]) for name, colour in
            [("a", "green"), ("b", "orange"), ("c", "purple"), ("d", "teal"), ("e", "olive"), ("f", "red")]]


def near(a, b, tolerance=30):
    return all(abs(x - y) < tolerance for x, y in zip(a, b))


def main(binary):
    with Desktop(W, H) as d:
        folder = make_pictures(os.path.join(d.tmp, "pictures"), PICTURES, "2400x1600")
        d.start(binary, [os.path.join(folder, "a.jpg")])
        win = d.wait_window("^  Glimmerbox")
        app = d.accessible_app("glimmerbox")
        find_accessible(app, "label", "Tot=6", timeout=10)
        file_menu = find_accessible(app, "menu item", "File")

        def full_screen_with(colour):
            """None while the window is not (yet) full screen with the picture of `colour` on the blue field;
            else the picture's box."""
            if "FULLSCREEN" not in d.wm_state(win) or d.geometry(win) != (0, 0, W, H):
                return None
            if accessible_states(file_menu)["showing"]:
                return None
            shot = d.screenshot("full.png")
            width, height, pixels = read_ppm(shot)
            at = lambda x, y: tuple(pixels[3 * (y * width + x):3 * (y * width + x) + 3])
            if not (near(at(10, H // 2), BLUE) and near(at(W - 30, H - 40), BLUE)):
                return None
            box = colour_box(shot, colour)
            return box if box and box[2] > 200 else None

        def maximised():
            state = d.wm_state(win)
            return "FULLSCREEN" not in state and {"MAXIMIZED_VERT", "MAXIMIZED_HORZ"} <= state and \
                accessible_states(file_menu)["showing"]

        def settle(check, what, timeout=10):
            found = wait_for(check, timeout, 0.3)
            assert found, "%s: window state %s, geometry %s\n%s" % (what, d.wm_state(win), d.geometry(win),
                                                                    d.program_output())
            # Still so a moment later: a step must not undo it once the window manager has acted.
            time.sleep(0.6)
            assert check(), "%s, then lost: %s %s" % (what, d.wm_state(win), d.geometry(win))
            return found

        # Slideshow interval five seconds, picked from the interval box's list; Backspace at the first picture
        # stops the slideshow again.
        interval = find_accessible(app, "combo box", "Slideshow interval in seconds")
        d.click_on(interval)
        x, y, w, h = extents(find_accessible(app, "list item", "5"))
        d.click_at(x + 10, y + h // 2)
        d.wait_focus(win)
        d.run("xdotool", "key", "--window", win, "BackSpace", "Escape")
        settle(lambda: full_screen_with(PICTURES[0][1]), "Esc")

        def pause():
            """A click on the blue field pauses the slideshow that Enter started. Sent right after the key, it is
            handled right after it: no tick can come between, however slow the machine."""
            d.click_at(5, H // 2)
            find_accessible(app, "label", "Pause", showing=False)

        steps = [("Return", 1), ("Return", 2), ("BackSpace", 1), ("KP_Add", 1)]
        for key, index in steps:
            d.run("xdotool", "key", "--window", win, key)
            if key == "Return":
                pause()
            box = settle(lambda: full_screen_with(PICTURES[index][1]), key)
            print(key, "-> full screen,", PICTURES[index][0], "at", box)
        # Enter starts the slideshow again; its next ticks move on by themselves.
        d.run("xdotool", "key", "--window", win, "Return")
        settle(lambda: any(full_screen_with(colour) for _, colour in PICTURES[3:]), "slideshow tick", timeout=12)
        pause()
        shown = next(i for i in range(3, len(PICTURES)) if full_screen_with(PICTURES[i][1]))
        print("slideshow tick -> full screen,", PICTURES[shown][0])

        # Bursts of Esc: an odd count leaves full screen, an even one returns to the state before.
        full = True
        for count in (1, 2, 50, 51, 101):
            d.run("xdotool", "key", "--window", win, "--repeat", str(count), "--delay", "5", "Escape")
            full = full if count % 2 == 0 else not full
            if full:
                settle(lambda: full_screen_with(PICTURES[shown][1]), "%d x Esc, full screen" % count)
            else:
                settle(maximised, "%d x Esc, maximised" % count)
            print(count, "x Esc ->", "full screen" if full else "maximised", d.geometry(win))
        assert d.geometry(win)[2] > W // 2, "the window shrank: %s" % (d.geometry(win),)
    print("1 passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
