#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""One key press is one command, also when the command opens a box or a window: "z" erasing now (answered Yes,
then No), "z" to the trash that succeeds and that fails, F1, Esc with the ratio panel shown and Enter on a picture
that cannot be shown. Boxes are counted as a screen reader sees them, files in the folder."""
import os
import sys
import time

from desktop import Desktop, accessible_states, accessible_walk, find_accessible, wait_for

COLOURS = {"a.bmp": "green", "b.bmp": "orange", "c.bmp": "purple", "d.bmp": "teal", "e.bmp": "navy",
           "f.bmp": "maroon"}
SETTLE = 1.5  # a second run of a key came 0.4 s after the first box closed


def boxes(app, text):
    """How many boxes on screen show `text`."""
    count = 0
    for _, obj in accessible_walk(app):
        try:
            if obj.get_role_name() == "label" and obj.get_name() == text and accessible_states(obj)["showing"]:
                count += 1
        except Exception:
            continue
    return count


def no_box_for(app, text, seconds=SETTLE):
    end = time.time() + seconds
    while time.time() < end:
        if boxes(app, text):
            return False
        time.sleep(0.1)
    return True


def label(app, prefix):
    for _, obj in accessible_walk(app):
        try:
            name = obj.get_name()
            if obj.get_role_name() == "label" and name.startswith(prefix) and accessible_states(obj)["showing"]:
                return name
        except Exception:
            continue
    return None


def click(d, app, role, name):
    d.click_on(find_accessible(app, role, name, timeout=5))


def removal_mode(d, app, name):
    """Picks "Erase now" or "Use basket bin" from the menu and waits until the menus are closed and it holds."""
    item = lambda: find_accessible(app, "menu item", name, showing=False)
    click(d, app, "menu item", "Tools")
    click(d, app, "menu item", "Choices for cancellations...")
    click(d, app, "menu item", name)
    assert wait_for(lambda: accessible_states(item())["checked"] and not accessible_states(item())["showing"], 5), \
        name + " could not be chosen"


def main(binary):
    with Desktop() as d:
        folder, trash = d.pictures_and_trash(COLOURS.items())
        files = lambda: sorted(os.listdir(folder))
        d.start(binary, [os.path.join(folder, "a.bmp")])
        win = d.wait_window("^  Glimmerbox")
        app = d.accessible_app("glimmerbox")
        find_accessible(app, "label", "Tot=6", timeout=10)

        def press(name, effect):
            """Types a key and waits for what it does. Under Xvfb the first key after the menus close is now and
            then lost before it reaches the program (it never shows in Qt's event stream); a key that did nothing
            in 2 s is typed again. A key run twice is still seen: its second run is what the steps count."""
            for _ in range(3):
                d.wait_focus(win)
                d.run("xdotool", "key", "--window", win, name)
                if wait_for(effect, 2):
                    return
            raise AssertionError("%s did nothing\n%s" % (name, d.program_output()[-3000:]))

        cur = lambda n: lambda: label(app, "Cur=") == "Cur=%d" % n

        # Erase now: "z", "Yes" erases a.bmp alone and no second box asks about b.bmp.
        removal_mode(d, app, "Erase now")
        press("z", lambda: boxes(app, "Are you sure ?"))
        assert boxes(app, "Are you sure ?") == 1
        click(d, app, "push button", "Yes")
        assert no_box_for(app, "Are you sure ?"), "a second erase box after one z\n" + d.program_output()
        assert files() == ["b.bmp", "c.bmp", "d.bmp", "e.bmp", "f.bmp"], files()
        find_accessible(app, "label", "Tot=5", timeout=5)
        print("z, Yes: a.bmp erased, no second box")

        # "z", then Esc (the answer that keeps files): nothing erased, no second box.
        press("z", lambda: boxes(app, "Are you sure ?"))
        d.run("xdotool", "key", "Escape")
        assert no_box_for(app, "Are you sure ?"), "a second erase box after Esc"
        assert files() == ["b.bmp", "c.bmp", "d.bmp", "e.bmp", "f.bmp"], files()
        print("z, Esc: nothing erased, no second box")

        # Back to the trash; b.bmp removed behind the viewer: "z" tells once that it could not be trashed.
        removal_mode(d, app, "Use basket bin")
        os.remove(os.path.join(folder, "b.bmp"))
        press("z", lambda: label(app, "The file "))
        failed = label(app, "The file ")
        assert "could not be moved to the trash" in failed, failed
        time.sleep(0.3)
        assert boxes(app, failed) == 1
        click(d, app, "push button", "OK")
        assert no_box_for(app, failed), "the failure was told twice"
        print("z on a vanished file: one message")

        # The file that could not be trashed stays on show; Enter steps to c.bmp, and a "z" that succeeds moves
        # exactly the picture on show.
        press("Return", cur(2))
        shown = wait_for(lambda: label(app, "Picture "), 5)
        assert shown and shown.startswith("Picture c.bmp"), shown
        press("z", lambda: "c.bmp" not in files())
        time.sleep(SETTLE)
        assert files() == ["d.bmp", "e.bmp", "f.bmp"], files()
        assert sorted(os.listdir(trash)) == ["c.bmp"]
        print("z to the trash: c.bmp alone")

        # F1 shows the instructions and leaves them shown; F1 again hides them.
        help_item = lambda: find_accessible(app, "menu item", "General instructions", showing=False)
        press("F1", lambda: accessible_states(help_item())["checked"])
        time.sleep(SETTLE)
        assert accessible_states(help_item())["checked"], "one F1 showed and hid the instructions"
        press("F1", lambda: not accessible_states(help_item())["checked"])
        print("F1: instructions shown once")

        # Esc with the ratio panel shown: full screen, and it stays.
        click(d, app, "menu item", "Tools")
        click(d, app, "menu item", "W/H ratio correction ")
        find_accessible(app, "push button", "OK", timeout=5)
        press("Escape", lambda: "FULLSCREEN" in d.wm_state(win))
        time.sleep(SETTLE)
        assert "FULLSCREEN" in d.wm_state(win), "one Esc entered and left full screen"
        press("Escape", lambda: "FULLSCREEN" not in d.wm_state(win))
        print("Esc with the ratio panel: full screen once")

        # Enter on a picture that cannot be shown moves one step.
        with open(os.path.join(folder, "d.bmp"), "r+b") as f:
            f.truncate(10)
        press("BackSpace", cur(1))
        press("Return", cur(2))
        assert wait_for(lambda: label(app, "Picture d.bmp cannot be shown"), 5), label(app, "Picture ")
        press("Return", cur(3))
        time.sleep(SETTLE)
        assert label(app, "Cur=") == "Cur=3", label(app, "Cur=")
        print("Enter: one step")
    print("1 passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
