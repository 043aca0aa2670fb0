#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The desktop's thumbnail cache shared both ways, with GLib and GNOME's own code as the judges. After F2 on a
folder under a long path with awkward names, GIO finds a valid thumbnail of the viewer's for every picture
(`gio info -a thumbnail::is-valid,thumbnail::path`) and GNOME's thumbnail factory finds each; a large thumbnail
that GNOME's factory saved is shown as it is, without a decoding of the picture."""
import hashlib
import os
import re
import subprocess
import sys

from desktop import PALETTE, Desktop, colour_box, extents, find_accessible, solid_picture, wait_for

GREEN = PALETTE["green"]
MAGENTA = (255, 0, 255)
# (name, size): the large ones get a large thumbnail as well, at no cost to the decoding.
PICTURES = [("a b.jpg", "400x300"), ("café été.jpg", "2400x1800"), ("#1.jpg", "300x300"), ("100%.jpg", "640x480"),
            ("a;b.jpg", "2400x1600"), ("[x].jpg", "500x400"), ("c+d.jpg", "400x300"), ("~e.jpg", "300x200"),
            ("f&g.jpg", "2000x2000"), ("it's.jpg", "400x300"), (os.fsdecode(b"latin1 \xe9t\xe9.jpg"), "400x300")]
GNOME_KEPT = "gnome kept.jpg"

# What GNOME's code answers, run with the desktop's environment (its cache folder).
GNOME = r"""
import json, os, sys
import gi
gi.require_version("GnomeDesktop", "3.0")
gi.require_version("GdkPixbuf", "2.0")
from gi.repository import GnomeDesktop, GdkPixbuf, GLib
Size = GnomeDesktop.DesktopThumbnailSize
def factory(size):
    return GnomeDesktop.DesktopThumbnailFactory.new(Size.LARGE if size == "large" else Size.NORMAL)
# The paths come in hex: GDK reads the arguments as UTF-8 text, which a name need not be.
command, size, paths = sys.argv[1], sys.argv[2], [bytes.fromhex(p) for p in sys.argv[3:]]
answers = []
for path in paths:
    uri, mtime = GLib.filename_to_uri(path, None), int(os.stat(path).st_mtime)
    if command == "save":
        picture = GdkPixbuf.Pixbuf.new(GdkPixbuf.Colorspace.RGB, False, 8, 256, 192)
        picture.fill(0xff00ffff)
        factory(size).save_thumbnail(picture, uri, mtime)
    answers.append(factory(size).lookup(uri, mtime))
print(json.dumps(answers))
"""


def main(binary):
    import json
    with Desktop() as d:
        folder = os.path.join(d.tmp, "a folder whose name is longer than most", "café été")
        os.makedirs(folder)
        paths = []
        for name, size in PICTURES + [(GNOME_KEPT, "800x600")]:
            path = os.path.join(folder, name)
            solid_picture(path, GREEN, size)
            paths.append(path)
        kept = paths[-1]
        cache = os.path.join(d.env["XDG_CACHE_HOME"], "thumbnails")

        def gnome(command, size, which):
            out = subprocess.run(["/usr/bin/python3", "-c", GNOME, command, size, *(os.fsencode(p).hex() for p in which)],
                                 env=d.env,
                                 capture_output=True, text=True)
            assert out.returncode == 0, out.stderr
            return json.loads(out.stdout)

        # GNOME's factory keeps a large one, magenta where the picture is green.
        gnome_large = gnome("save", "large", [kept])[0]
        assert gnome_large and gnome_large.startswith(cache + "/large/"), gnome_large

        d.start(binary, [paths[0]])
        win = d.wait_window("^  Glimmerbox")
        app = d.accessible_app("glimmerbox")
        find_accessible(app, "label", "Tot=%d" % len(paths), timeout=10)
        d.wait_focus(win)
        d.run("xdotool", "key", "--window", win, "F2")
        bar = extents(find_accessible(app, "label", "Thumbnails", timeout=5))

        def md5(path):
            import gi
            from gi.repository import GLib
            return hashlib.md5(GLib.filename_to_uri(os.fsencode(path), None).encode()).hexdigest()

        made = lambda: all(os.path.exists(os.path.join(cache, "normal", md5(p) + ".png")) for p in paths[:-1])
        assert wait_for(made, 30), "the viewer did not keep a thumbnail of every picture\n" + d.program_output()
        shown = wait_for(lambda: colour_box(d.screenshot("bar.png"), MAGENTA, bar), 10)
        assert shown and shown[2] >= 45 and shown[3] >= 30, "GNOME's large thumbnail is not shown: %r" % (shown,)
        print("GNOME's large thumbnail shown at", shown)
        # Shown as it is: the picture was not decoded, nor a thumbnail of it kept.
        decoded = re.findall(r'decoded ".*?" at', open(d.log, errors="replace").read())
        assert not any(GNOME_KEPT in line for line in decoded), decoded
        assert not os.path.exists(os.path.join(cache, "normal", md5(kept) + ".png"))
        print("%d pictures decoded, not %s" % (len(decoded), GNOME_KEPT))

        # GIO: a valid thumbnail, the viewer's own file (GLib looks in large/ before normal/).
        for path in paths[:-1]:
            out = subprocess.run(["gio", "info", "-a", "thumbnail::is-valid,thumbnail::path", os.fsencode(path)],
                                 env=d.env, capture_output=True, text=True, errors="surrogateescape")
            ours = [os.path.join(cache, size, md5(path) + ".png") for size in ("large", "normal")]
            ours = [p for p in ours if os.path.exists(p)]
            assert "thumbnail::is-valid: TRUE" in out.stdout, (path, out.stdout, out.stderr)
            assert "thumbnail::path: %s\n" % ours[0] in out.stdout, (path, ours, out.stdout)
        print("GIO: %d valid thumbnails" % (len(paths) - 1))

        # GNOME's factory finds each, at the size the viewer kept it.
        found = gnome("lookup", "normal", paths[:-1])
        expected = [os.path.join(cache, "normal", md5(p) + ".png") for p in paths[:-1]]
        assert found == expected, list(zip(paths, found))
        print("GNOME's factory: %d found" % len(found))
    print("1 passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
