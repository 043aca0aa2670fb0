#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The real program starts into its maximised main window with its menu bar, and the close box ends it
with exit code 0."""
import os
import re
import sys
import time

from desktop import Desktop, accessible_states, accessible_walk, extents, find_accessible, wait_for


def main(binary):
    with Desktop() as d:
        app = d.start(binary)
        win = d.wait_window("^  Glimmerbox")
        time.sleep(1.0)
        geometry = d.run("xdotool", "getwindowgeometry", win)
        print(geometry)
        shot = d.screenshot("start.png")

        # Docks tie the window to its desktop entry by the class of its WM_CLASS and the entry's StartupWMClass.
        entry = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "packaging",
                             "io.github.glimmerbox.Glimmerbox.desktop")
        startup_class = re.search(r"^StartupWMClass=(.*)$", open(entry).read(), re.M)
        wm_class = re.findall(r'"([^"]*)"', d.run("xprop", "-id", win, "WM_CLASS"))
        print("WM_CLASS", wm_class, "StartupWMClass", startup_class and startup_class.group(1))
        assert startup_class and len(wm_class) == 2 and wm_class[1] == startup_class.group(1), wm_class

        # The menu bar as a screen reader finds it, with the three menus that need images greyed.
        acc = d.accessible_app("glimmerbox")
        menus = {}
        frame_names = []
        for depth, obj in accessible_walk(acc):
            role = obj.get_role_name()
            if role == "frame" and depth == 1:
                frame_names.append(obj.get_name())
            if role == "menu item" and obj.get_parent() is not None and obj.get_parent().get_role_name() == "menu bar":
                menus[obj.get_name()] = (accessible_states(obj)["enabled"], extents(obj))
        print("menus:", {k: v[0] for k, v in menus.items()})
        assert list(menus) == ["File", "View", "Slideshow", "Tools", "?"], menus
        assert [menus[m][0] for m in menus] == [True, False, False, False, True], menus
        assert any(n.startswith("  Glimmerbox") for n in frame_names), frame_names

        # Every menu entry as a screen reader reads it: its exact caption, whether it is usable and checked.
        sp = lambda n: " " * n
        expected = [
            ("File", True, False), ("Select and open Image files", True, False),
            ("Clear current Image files", True, False), ("Exit", True, False),
            ("View", False, False), ("View Thumbnails", True, False), ("Size increase" + sp(42) + "+ ", True, False),
            ("Size reduce" + sp(45) + "-", True, False), ("Original size" + sp(44) + "0", True, False),
            ("Slideshow", False, False), ("Forward" + sp(24) + "Enter", True, False),
            ("Backward" + sp(21) + "<---", True, False),
            ("Set Pausa on/off" + sp(10) + "clic on image", True, False),
            ("Full screen mode" + sp(21) + "ESC", True, False), (sp(5) + "Reduce larger images", True, True),
            (sp(5) + "Increase smaller images", True, False),
            ("Tools", False, False), ("Manage suspended images", True, False),
            ("Choices for cancellations...", True, False), ("Erase now", True, False), ("Use basket bin", True, True),
            ("W/H ratio correction ", True, False),
            ("?", True, False), ("General instructions", True, False), ("Shortcuts", True, False), ("About", True, False),
        ]
        entries = [(o.get_name(), accessible_states(o)["enabled"], accessible_states(o)["checked"])
                   for _, o in accessible_walk(acc) if o.get_role_name() == "menu item"]
        assert entries == expected, entries

        # The pixels: black text where "File" and "?" stand, only grey text where the disabled titles stand,
        # the window spread over the screen.
        for title, enabled in [("File", True), ("View", False), ("Slideshow", False), ("?", True)]:
            x, y, w, h = menus[title][1]
            darkest, _ = d.region_stats(shot, x, y, w, h)
            print("%-10s darkest grey %.2f" % (title, darkest))
            assert (darkest < 0.25) if enabled else (0.25 <= darkest < 0.9), (title, darkest)
        x, y, w, h = menus["File"][1]
        assert x < 40 and y < 80, menus["File"]
        size = [int(v) for v in geometry.split("Geometry:")[1].split("x")]
        assert size[0] >= d.width - 10 and size[1] >= d.height - 120, size

        # "?" > "Shortcuts" by the keyboard: the thirteen lines of the shortcut list, word for word, and its title.
        d.wait_focus(win)
        for key in ["F10", "Left", "Down", "Return"]:
            d.run("xdotool", "key", key)
            time.sleep(0.3)
        lines = ["Enter" + sp(9) + "= Go forward (and Pause remove)", "<---" + sp(11) + "= Go backward (and Pause set)",
                 "image click" + sp(2) + "= Pause set/remove", "ESC" + sp(10) + "= Full screen/Normal screen",
                 "+" + sp(14) + "= Increase image size 10%", " -" + sp(14) + "= Reduce image size 10%",
                 "0" + sp(14) + "= Reset original image size", "A" + sp(14) + "= Suspend current image from the Show",
                 "Z" + sp(14) + "= Cancel current image from its Folder",
                 "Q" + sp(13) + "= Synchronize thumbnails and current image",
                 "F1" + sp(12) + "= Show/Hide 'Instructions'", "F2" + sp(12) + "= Show/Hide 'Thumbnails'",
                 "F3" + sp(12) + "= Show 'Suspended images list'"]
        shortcuts = find_accessible(acc, "label", "\r\n".join(lines), timeout=10)
        find_accessible(acc, "alert", "    GLIMMERBOX SHORTCUTS", timeout=5)
        d.run("xdotool", "key", "Return")
        wait_for(lambda: not accessible_states(shortcuts)["showing"], 5)

        # The close box: openbox draws it at the right end of the title bar of the maximised window.
        d.click_close_box()
        try:
            rc = app.wait(15)
        except Exception:
            raise AssertionError("the close box did not end the program")
        print("exit code", rc)
        assert rc == 0, rc
    print("1 passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
