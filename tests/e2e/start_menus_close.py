#!/usr/bin/python3
"""The real program starts into its maximised main window with its menu bar, and the close box ends it
with exit code 0."""
import sys
import time

from desktop import Desktop, accessible_states, accessible_walk, extents


def main(binary):
    with Desktop() as d:
        app = d.start(binary)
        win = d.wait_window("^  Glimmerbox")
        time.sleep(1.0)
        geometry = d.run("xdotool", "getwindowgeometry", win)
        print(geometry)
        shot = d.screenshot("start.png")

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

        # The close box: openbox draws it at the right end of the title bar of the maximised window.
        d.run("xdotool", "mousemove", str(d.width - 9), "9", "click", "1")
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
