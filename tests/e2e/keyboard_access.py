#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Keyboard-only and screen-reader use: after "OK" on the W/H ratio panel, Enter moves forward and leaves no
pause; Alt then Down opens the File menu and Enter on its first item opens the file dialog; F10 opens the File
menu; Alt+Down opens the interval list and Enter there picks; a screen reader reads the picture by its file name,
the combo boxes by what they are for, every shown label and frame by a name, and no editable box holds the focus
at start."""
import os
import sys
import time

from desktop import (Desktop, accessible_states, accessible_text, accessible_walk, find_accessible, image_area,
                     make_pictures, wait_for)

PICTURES = [("photo_01.jpg", "green", "640x480"), ("photo_02.jpg", "orange", "300x200"), ("photo_03.jpg", "purple", "320x240")]


def main(binary):
    with Desktop() as d:
        folder = os.path.join(d.tmp, "pictures")
        os.mkdir(folder)
        make_pictures(folder, PICTURES)
        d.start(binary, [os.path.join(folder, "photo_01.jpg")])
        win = d.wait_window("^  Glimmerbox")
        app = d.accessible_app("glimmerbox")
        find_accessible(app, "label", "Tot=3", timeout=10)

        # What a screen reader reads.
        picture = wait_for(lambda: image_area(app).get_name() == "Picture photo_01.jpg, 640 by 480", 5)
        assert picture, image_area(app).get_name()
        shown = [obj for _, obj in accessible_walk(app) if accessible_states(obj)["showing"]]
        combos = {o.get_name(): o for o in shown if o.get_role_name() == "combo box"}
        assert sorted(combos) == ["Images of the folder", "Slideshow interval in seconds"], sorted(combos)
        interval = combos["Slideshow interval in seconds"]
        assert "seconds" in interval.get_description(), interval.get_description()
        assert accessible_text(interval) == "10", accessible_text(interval)
        unnamed = [o.get_role_name() for o in shown if o.get_role_name() in ("label", "frame", "panel") and not o.get_name()]
        assert not unnamed, "shown without a name: %s" % unnamed
        focused = [o for o in shown if accessible_states(o)["focused"]]
        assert focused and focused[0].get_name() == "Keyboard commands", [o.get_name() for o in focused]
        assert focused[0].get_role_name() not in ("text", "entry", "password text"), focused[0].get_role_name()

        # The ratio panel closed with OK, then Enter: forward, and the pause is gone.
        d.click_on(find_accessible(app, "menu item", "Tools"))
        d.click_on(find_accessible(app, "menu item", "W/H ratio correction "))
        d.click_on(find_accessible(app, "push button", "OK"))
        wait_for(lambda: not accessible_states(find_accessible(app, "push button", "OK", showing=False))["showing"], 5)
        d.wait_focus(win)
        d.run("xdotool", "key", "Return")
        find_accessible(app, "label", "Cur=2", timeout=5)
        time.sleep(0.5)
        pause = [o for _, o in accessible_walk(app) if o.get_role_name() == "label" and o.get_name() == "Pause"
                 and accessible_states(o)["showing"]]
        assert not pause, "Enter after OK set the pause"

        # Alt, then Down: the File menu opens on its first usable item, "Clear current Image files" while a folder
        # is open (the open item is disabled then); Enter clears. Alt, Down again: "Select and open Image files",
        # Enter opens the file dialog, and the path typed there opens the folder: a keyboard-only user's way in.
        d.run("xdotool", "key", "alt")
        time.sleep(0.3)
        d.run("xdotool", "key", "Down")
        item = find_accessible(app, "menu item", "Clear current Image files", timeout=5)
        d.run("xdotool", "key", "Return")
        assert wait_for(lambda: image_area(app).get_name() == "Image", 5), "the picture stayed after clearing"
        d.wait_focus(win)
        d.run("xdotool", "key", "alt")
        time.sleep(0.3)
        d.run("xdotool", "key", "Down")
        assert accessible_states(find_accessible(app, "menu item", "Select and open Image files", timeout=5))["enabled"]
        d.run("xdotool", "key", "Return")
        dialog = d.wait_window("^Select a Folder and a starting File$", timeout=10)
        d.wait_focus(dialog)
        time.sleep(0.3)
        d.run("xdotool", "type", "--delay", "20", os.path.join(folder, "photo_02.jpg"))
        d.run("xdotool", "key", "Return")
        find_accessible(app, "label", "Tot=3", timeout=10)
        find_accessible(app, "label", "Cur=2", timeout=5)
        print("Alt, Down, Enter: cleared; Alt, Down, Enter: the file dialog opened the folder")

        # F10 opens the File menu as well; Esc closes it again.
        d.wait_focus(win)
        d.run("xdotool", "key", "F10")
        find_accessible(app, "menu item", "Select and open Image files", timeout=5)
        d.run("xdotool", "key", "Escape", "Escape")
        wait_for(lambda: not accessible_states(item)["showing"], 5)

        # "?" > "About" from the keyboard: its title and version; Enter closes it, and the keyboard is the window's
        # again, not the menu bar's: Backspace steps back to the first picture.
        d.wait_focus(win)
        for key in ["F10", "Left", "Up", "Return"]:
            d.run("xdotool", "key", key)
            time.sleep(0.3)
        ok = find_accessible(app, "push button", "OK", timeout=10)
        find_accessible(app, "frame", "   Information", timeout=5)
        find_accessible(app, "label", "Glimmerbox v 1.0", timeout=5)
        time.sleep(0.3)
        d.run("xdotool", "key", "Return")
        assert wait_for(lambda: not accessible_states(ok)["showing"], 5), "Enter did not close the About box"
        d.wait_focus(win)
        d.run("xdotool", "key", "BackSpace")
        find_accessible(app, "label", "Cur=1", timeout=5)
        print("About closed with Enter; the next key went to the window")

        # Alt+Down on the interval box opens its list; Home, Enter picks one second and starts the slideshow,
        # which moves on to the last picture by itself.
        d.click_on(interval)  # the focus, and the list
        d.run("xdotool", "key", "Escape")
        assert wait_for(lambda: accessible_states(interval)["focused"], 5)
        d.run("xdotool", "key", "alt+Down")
        time.sleep(0.3)
        d.run("xdotool", "key", "Home", "Return")
        find_accessible(app, "label", "END", timeout=5)
        assert wait_for(lambda: accessible_text(interval) == "1", 5), "the interval box does not say 1"
        print("the interval picked from the keyboard moved the slideshow on")
    print("1 passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
