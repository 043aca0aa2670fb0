#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Records what a user meets on a fixed walk through the program, for comparing two builds after a change
that should change nothing a user sees: after each step a screenshot, the window manager's view of the windows
and every object a screen reader reads (role, name, text, states, place), and at the end the files of the
folder and of the trash.

    scripts/record_walk.py BINARY OUTDIR        then: scripts/record_walk.py --compare OUTDIR_A OUTDIR_B

Runs under its own Xvfb + openbox (tests/e2e/desktop.py). The slideshow never ticks during the walk: every
step that starts it is followed at once by one that pauses it."""
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from desktop import Desktop, accessible_states, accessible_walk, extents  # noqa: E402

PICTURES = [("a.jpg", "rgb(0,160,0)", "300x200"), ("b.gif", "rgb(220,120,0)", "2400x1000"),
            ("c.bmp", "rgb(120,0,160)", "80x60"), ("d.jpeg", "rgb(0,140,140)", "640x900"),
            ("e.JPG", "rgb(200,200,0)", "500x500")]

# (name, keys): each key is an xdotool key name sent to the focused window, "click:NAME", a click on what a screen
# reader finds by that name, or "activate", the main window raised.
STEPS = [
    ("start", []),
    ("enter", ["Return"]), ("zoom-in", ["plus"]), ("zoom-in-keypad", ["KP_Add"]), ("zoom-out", ["minus"]),
    ("original", ["0"]), ("back", ["BackSpace"]), ("enter-large", ["Return", "Return"]), ("pause", ["BackSpace"]),
    ("full-screen", ["Escape"]), ("fs-enter", ["Return"]), ("fs-zoom", ["plus"]), ("fs-back", ["BackSpace"]),
    ("fs-original", ["0"]), ("leave-full-screen", ["Escape"]),
    ("thumbs", ["F2"]), ("thumbs-sync", ["q"]), ("thumbs-step", ["Return"]), ("thumbs-pause", ["BackSpace"]),
    ("thumbs-off", ["F2"]), ("instructions", ["F1"]), ("instructions-off", ["F1"]),
    ("menu-file", ["F10"]), ("menu-view", ["Right"]), ("menu-slideshow", ["Right"]), ("menu-tools", ["Right"]),
    ("menu-help", ["Right"]), ("menu-closed", ["Escape", "Escape"]),
    ("ratio-panel", ["F10", "Left", "Left", "Up", "Return"]), ("ratio-preset", ["click:Screen ratio 1.77"]),
    ("ratio-closed", ["click:OK"]),
    ("shortcuts", ["F10", "Left", "Down", "Return"]), ("shortcuts-closed", ["Return"]),
    ("about", ["F10", "Left", "Up", "Return"]), ("about-closed", ["click:OK"]),
    ("suspend", ["click:Keyboard commands", "a"]), ("suspend-pause", ["BackSpace"]), ("trash", ["z"]), ("trash-pause", ["BackSpace"]),
    ("suspended-window", ["F3"]), ("suspended-closed", ["alt+F4"]),
    ("exit-question", ["activate", "alt+F4"]), ("exit-no", ["click:No"]),
]


def click(d, app, name):
    try:
        objects = [obj for _, obj in accessible_walk(app)]
    except Exception:  # the program has ended
        objects = []
    for obj in objects:
        try:
            if obj.get_name() == name and accessible_states(obj)["showing"]:
                # A new window may still be placed by the window manager: the click is repeated, from where the
                # button is now, until the button has gone or changed.
                for _ in range(5):
                    time.sleep(0.3)
                    x, y, w, h = extents(obj)
                    before = accessible_states(obj)
                    d.click_at(x + w // 2, y + h // 2)
                    time.sleep(0.5)
                    try:
                        if obj.get_role_name() != "push button" or not accessible_states(obj)["showing"]:
                            return
                    except Exception:
                        return
                    del before
                return
        except Exception:
            continue
    print("no button named %r" % name)


def record(d, app, out, step):
    time.sleep(1.2)
    subprocess.run(["import", "-window", "root", os.path.join(out, step + ".png")], env=d.env, check=True)
    lines = []
    for win in d.run("xdotool", "search", "--onlyvisible", "--name", ".").split():
        name = d.run("xdotool", "getwindowname", win)
        lines.append("window %r %s %s" % (name, sorted(d.wm_state(win)), d.geometry(win)))
    lines.sort()
    if app is not None:
        try:
            for depth, obj in accessible_walk(app):
                s = accessible_states(obj)
                if not s["showing"] and obj.get_role_name() not in ("menu item", "check menu item"):
                    continue
                text = ""
                try:
                    import gi
                    gi.require_version("Atspi", "2.0")
                    from gi.repository import Atspi
                    text = Atspi.Text.get_text(obj, 0, 200)
                except Exception:
                    pass
                try:
                    place = extents(obj) if s["showing"] else None
                except AttributeError:  # no component interface (an action of a closed menu)
                    place = None
                lines.append("%s%s %r %r %s %s" % ("  " * depth, obj.get_role_name(), obj.get_name(), text,
                                                   sorted(k for k, v in s.items() if v), place))
        except Exception as e:  # the program ended
            lines.append("accessibility: %s" % type(e).__name__)
    with open(os.path.join(out, step + ".txt"), "w") as f:
        f.write("\n".join(lines) + "\n")


def walk(binary, out):
    os.makedirs(out, exist_ok=True)
    with Desktop() as d:
        # One folder path for every run: the path is on screen.
        folder = "/tmp/glimmerbox-walk/pictures"
        shutil.rmtree(os.path.dirname(folder), ignore_errors=True)
        os.makedirs(folder)
        data_home = os.path.join(d.tmp, "data")
        os.mkdir(data_home)
        d.env["XDG_DATA_HOME"] = data_home
        for name, colour, size in PICTURES:
            subprocess.run(["convert", "-size", size, "gradient:%s-white" % colour, os.path.join(folder, name)],
                           check=True)
        proc = d.start(binary, [os.path.join(folder, "a.jpg")])
        d.wait_window("^  Glimmerbox")
        app = d.accessible_app("glimmerbox")
        for step, keys in STEPS:
            for key in keys:
                if key.startswith("click:"):
                    click(d, app, key[len("click:"):])
                elif key == "activate":  # the main window takes the keyboard again
                    d.run("xdotool", "search", "--name", "^  Glimmerbox", "windowactivate", "--sync")
                else:
                    d.run("xdotool", "key", "--delay", "150", key)
                time.sleep(0.3)
            if step == STEPS[-1][0]:
                try:
                    proc.wait(10)  # the last answer ends the program
                except subprocess.TimeoutExpired:
                    pass
            record(d, app if proc.poll() is None else None, out, step)
        try:
            proc.wait(10)
        except subprocess.TimeoutExpired:
            pass
        files = sorted(os.listdir(folder))
        trash = os.path.join(data_home, "Trash", "files")
        trashed = sorted(os.listdir(trash)) if os.path.isdir(trash) else []
        with open(os.path.join(out, "files.txt"), "w") as f:
            f.write("exit %s\nfolder %s\ntrash %s\n" % (proc.poll(), files, trashed))


def compare(a, b):
    differ = 0
    for name in sorted(os.listdir(a)):
        other = os.path.join(b, name)
        if not os.path.exists(other):
            print("missing in %s: %s" % (b, name))
            differ += 1
        elif name.endswith(".png"):
            r = subprocess.run(["compare", "-metric", "AE", os.path.join(a, name), other, "null:"],
                               capture_output=True, text=True)
            if r.stderr.strip() != "0":
                print("%s: %s pixels differ" % (name, r.stderr.strip()))
                differ += 1
        elif open(os.path.join(a, name)).read() != open(other).read():
            print("%s differs" % name)
            subprocess.run(["diff", os.path.join(a, name), other])
            differ += 1
    print("%d of %d records differ" % (differ, len(os.listdir(a))))
    return 1 if differ else 0


if __name__ == "__main__":
    if sys.argv[1] == "--compare":
        sys.exit(compare(sys.argv[2], sys.argv[3]))
    walk(sys.argv[1], sys.argv[2])
