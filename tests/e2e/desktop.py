# SPDX-License-Identifier: GPL-3.0-or-later
"""A throw-away desktop for end-to-end tests: Xvfb, openbox, a session bus with the accessibility bus, and
helpers to start the real program, find its window, type, click, take screenshots and read what a screen
reader reads."""
import os
import shutil
import signal
import subprocess
import tempfile
import time

# The colours the tests' pictures are made in: far apart from each other and from the window's own colours, so
# that a screenshot tells them apart.
PALETTE = {"green": (0, 160, 0), "orange": (220, 120, 0), "purple": (120, 0, 160), "teal": (0, 140, 140),
           "olive": (150, 150, 0), "red": (200, 0, 0), "blue": (0, 0, 200)}


def solid_picture(path, colour, size="300x200", *options, prefix=""):
    """A picture of one colour, an (r, g, b) or an ImageMagick name, written by ImageMagick (`prefix` names
    its format, such as "BMP3:")."""
    if isinstance(colour, tuple):
        colour = "rgb(%d,%d,%d)" % colour
    subprocess.run(["convert", "-size", size, "xc:" + colour, *options, prefix + path], check=True)


def make_pictures(folder, pictures, size="300x200", *options):
    """The pictures of a table of (name, colour) or (name, colour, size) in `folder`, which is made."""
    os.makedirs(folder, exist_ok=True)
    for name, colour, *own_size in pictures:
        solid_picture(os.path.join(folder, name), colour, own_size[0] if own_size else size, *options)
    return folder


class Desktop:
    def __init__(self, width=1280, height=1024):
        self.width, self.height = width, height
        self.procs = []
        self.tmp = tempfile.mkdtemp(prefix="glimmerbox-e2e-")
        self.env = dict(os.environ)

    # ---- set-up and tear-down
    def __enter__(self):
        # A display number of our own, well away from :0, and a server that answers before anything uses it.
        display = next(n for n in range(100 + os.getpid() % 700, 1000)
                       if not os.path.exists("/tmp/.X11-unix/X%d" % n) and not os.path.exists("/tmp/.X%d-lock" % n))
        xvfb = subprocess.Popen(
            ["Xvfb", ":%d" % display, "-screen", "0", "%dx%dx24" % (self.width, self.height), "-nolisten", "tcp"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.procs.append(xvfb)
        self.env["DISPLAY"] = ":%d" % display
        end = time.time() + 30
        while subprocess.run(["xdpyinfo"], env=self.env, capture_output=True).returncode != 0:
            if time.time() > end or xvfb.poll() is not None:
                raise AssertionError("Xvfb did not start on :%d" % display)
            time.sleep(0.1)
        self.env["XDG_RUNTIME_DIR"] = self.tmp
        self.env["XDG_CACHE_HOME"] = os.path.join(self.tmp, "cache")  # thumbnails go here, not to the user's cache
        os.chmod(self.tmp, 0o700)
        bus = subprocess.run(["dbus-daemon", "--session", "--fork", "--print-address=1", "--print-pid=1"],
                             capture_output=True, text=True, env=self.env, check=True).stdout.split()
        self.env["DBUS_SESSION_BUS_ADDRESS"] = bus[0]
        self.bus_pid = int(bus[1])
        os.environ["DISPLAY"] = self.env["DISPLAY"]
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = bus[0]
        launcher = "/usr/libexec/at-spi-bus-launcher"
        if os.path.exists(launcher):
            self.spawn([launcher, "--launch-immediately"])
        # The window manager is up once it has announced itself on the root window; one that went away at once
        # (seen on a loaded machine) is started again.
        wm_log = os.path.join(self.tmp, "openbox.log")
        wm = self.spawn(["openbox"], log=wm_log)
        end = time.time() + 30
        while "window id" not in self.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK"):
            if wm.poll() is not None and time.time() < end:
                wm = self.spawn(["openbox"], log=wm_log)
            if time.time() > end:
                with open(wm_log, "rb") as f:
                    raise AssertionError("openbox did not start\n" + f.read().decode(errors="replace"))
            time.sleep(0.1)
        return self

    def __exit__(self, *exc):
        for p in reversed(self.procs):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()
        try:
            os.kill(self.bus_pid, signal.SIGTERM)
        except (OSError, AttributeError):
            pass
        shutil.rmtree(self.tmp, ignore_errors=True)

    def spawn(self, argv, cwd=None, extra_env=None, log=None):
        env = dict(self.env)
        env.update(extra_env or {})
        out = open(log, "wb") if log else subprocess.DEVNULL
        p = subprocess.Popen(argv, cwd=cwd, env=env, stdout=out, stderr=subprocess.STDOUT if log else subprocess.DEVNULL)
        self.procs.append(p)
        return p

    # ---- the program
    def start(self, binary, args=(), cwd=None, env=None):
        binary = os.path.abspath(binary)
        self.log = os.path.join(self.tmp, "program.log")
        return self.spawn([binary, *args], cwd=cwd or self.tmp, log=self.log,
                          extra_env={"QT_ACCESSIBILITY": "1", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
                                     "QT_LOGGING_RULES": "glimmerbox.debug=true", **(env or {})})

    def pictures_and_trash(self, pictures, size="300x200"):
        """A folder of single-colour pictures, one for each (name, ImageMagick colour), and a trash of this
        desktop's own (XDG_DATA_HOME). Returns the folder and the trash's files folder."""
        folder = os.path.join(self.tmp, "pictures")
        os.mkdir(folder)
        data_home = os.path.join(self.tmp, "data")
        os.mkdir(data_home)
        self.env["XDG_DATA_HOME"] = data_home
        for name, colour in pictures:
            solid_picture(os.path.join(folder, name), colour, size, prefix="BMP3:" if name.endswith(".bmp") else "")
        return folder, os.path.join(data_home, "Trash", "files")

    def click_at(self, x, y):
        self.run("xdotool", "mousemove", str(x), str(y), "click", "1")

    def click_on(self, obj):
        """A click at the centre of what a screen reader finds."""
        self.click_at(*centre(obj))

    def click_close_box(self):
        """The close box of a maximised window, at the screen's top right corner under openbox."""
        self.click_at(self.width - 9, 9)

    def program_output(self):
        """What the program printed so far (its log category included), for a failing test's report."""
        try:
            with open(self.log, "rb") as f:
                return f.read().decode(errors="replace")[-3000:]
        except (OSError, AttributeError):
            return ""

    def run(self, *argv):
        return subprocess.run(list(argv), capture_output=True, text=True, env=self.env).stdout.strip()

    def wait_window(self, name_regex, timeout=60):
        end = time.time() + timeout
        while time.time() < end:
            ids = self.run("xdotool", "search", "--onlyvisible", "--name", name_regex).split()
            if ids:
                return ids[0]
            time.sleep(0.2)
        raise AssertionError("no window named like %r appeared\n%s" % (name_regex, self.program_output()))

    def wait_focus(self, win, timeout=10):
        """Waits until the window has the keyboard, so that typed keys reach it."""
        end = time.time() + timeout
        while self.run("xdotool", "getwindowfocus", "-f") != win:
            if time.time() > end:
                raise AssertionError("window %s never got the keyboard" % win)
            time.sleep(0.1)

    def wm_state(self, win):
        """The window manager's _NET_WM_STATE atoms of a window, e.g. {"FULLSCREEN"}."""
        out = self.run("xprop", "-id", win, "_NET_WM_STATE")
        return {a.strip().replace("_NET_WM_STATE_", "") for a in out.partition("=")[2].split(",") if a.strip()}

    def geometry(self, win):
        """(x, y, width, height) of a window's client area on the screen, as xwininfo reads it."""
        out = self.run("xwininfo", "-id", win)
        field = lambda key: int(out.split(key)[1].split()[0])
        return field("Absolute upper-left X:"), field("Absolute upper-left Y:"), field("Width:"), field("Height:")

    def screenshot(self, name="shot.png"):
        path = os.path.join(self.tmp, name)
        subprocess.run(["import", "-window", "root", path], env=self.env, check=True)
        return path

    def region_stats(self, png, x, y, w, h):
        """Darkest and mean grey level (0..1) of a region of a screenshot."""
        out = subprocess.run(["convert", png, "-crop", "%dx%d+%d+%d" % (w, h, x, y), "-colorspace", "Gray",
                              "-format", "%[fx:minima] %[fx:mean]", "info:"],
                             capture_output=True, text=True, check=True).stdout.split()
        return float(out[0]), float(out[1])

    def pixel(self, png, x, y):
        out = subprocess.run(["convert", png, "-format", "%%[pixel:p{%d,%d}]" % (x, y), "info:"],
                             capture_output=True, text=True, check=True).stdout
        return out.strip()

    # ---- what a screen reader reads
    def accessible_app(self, name, timeout=15):
        import gi
        gi.require_version("Atspi", "2.0")
        from gi.repository import Atspi
        end = time.time() + timeout
        while time.time() < end:
            desktop = Atspi.get_desktop(0)
            for i in range(desktop.get_child_count()):
                app = desktop.get_child_at_index(i)
                if app is not None and app.get_name() == name:
                    return app
            time.sleep(0.3)
        raise AssertionError("no accessible application %r" % name)


def accessible_walk(obj, depth=0):
    """(depth, object) for obj and everything under it."""
    yield depth, obj
    for i in range(obj.get_child_count()):
        child = obj.get_child_at_index(i)
        if child is not None:
            yield from accessible_walk(child, depth + 1)


def accessible_states(obj):
    import gi
    gi.require_version("Atspi", "2.0")
    from gi.repository import Atspi
    s = obj.get_state_set()
    return {"enabled": s.contains(Atspi.StateType.ENABLED), "checked": s.contains(Atspi.StateType.CHECKED),
            "showing": s.contains(Atspi.StateType.SHOWING), "focused": s.contains(Atspi.StateType.FOCUSED)}


def accessible_text(obj):
    """The text an object serves to screen readers (a label's caption, a combo box's current entry)."""
    import gi
    gi.require_version("Atspi", "2.0")
    from gi.repository import Atspi
    return Atspi.Text.get_text(obj, 0, -1)


def extents(obj):
    import gi
    gi.require_version("Atspi", "2.0")
    from gi.repository import Atspi
    r = obj.get_component_iface().get_extents(Atspi.CoordType.SCREEN)
    return r.x, r.y, r.width, r.height


_displays = {}


def screen_pixels(x, y, w, h):
    """The colours (r, g, b) of a rectangle of the screen, row by row, read from the X server itself: quick enough
    to poll a line or a few pixels every few milliseconds on a busy machine, where a screenshot takes a large part
    of a second."""
    import ctypes
    x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XDefaultRootWindow.restype = ctypes.c_ulong
    x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x11.XGetImage.restype = ctypes.c_void_p
    x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                              ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
    x11.XGetPixel.restype = ctypes.c_ulong
    x11.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
    x11.XDestroyImage.argtypes = [ctypes.c_void_p]
    name = os.environ["DISPLAY"]
    if name not in _displays:
        _displays[name] = x11.XOpenDisplay(name.encode())
    display = _displays[name]
    image = x11.XGetImage(display, x11.XDefaultRootWindow(display), x, y, w, h, 0xFFFFFFFF, 2)  # ZPixmap
    pixels = [x11.XGetPixel(image, i, j) for j in range(h) for i in range(w)]
    x11.XDestroyImage(image)
    return [((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF) for p in pixels]


def wait_for(what, timeout, every=0.2):
    """Polls what() until it gives something true; that, or None after timeout seconds."""
    end = time.time() + timeout
    while time.time() < end:
        result = what()
        if result:
            return result
        time.sleep(every)
    return None


def find_accessible(app, role, name=None, showing=True, timeout=5.0):
    """The first object of `role` (and `name`, when given) under app, waiting for it to appear."""
    end = time.time() + timeout
    while True:
        for _, obj in accessible_walk(app):
            try:
                if obj.get_role_name() != role or (name is not None and obj.get_name() != name):
                    continue
                if showing and not accessible_states(obj)["showing"]:
                    continue
                return obj
            except Exception:
                continue
        if time.time() > end:
            raise AssertionError("no %s named %r" % (role, name))
        time.sleep(0.2)


def image_area(app, timeout=5.0):
    """The image browser: named "Image" while it shows no picture, "Picture NAME, W by H" while it does."""
    end = time.time() + timeout
    while True:
        for _, obj in accessible_walk(app):
            try:
                name = obj.get_name()
                if obj.get_role_name() == "label" and (name == "Image" or name.startswith("Picture ")) and \
                        accessible_states(obj)["showing"]:
                    return obj
            except Exception:
                continue
        if time.time() > end:
            raise AssertionError("no image area")
        time.sleep(0.2)


def centre(obj):
    x, y, w, h = extents(obj)
    return x + w // 2, y + h // 2


def read_ppm(png):
    """(width, height, rgb bytes) of a screenshot."""
    data = subprocess.run(["convert", png, "ppm:-"], capture_output=True, check=True).stdout
    parts = data.split(maxsplit=4)  # P6, width, height, maxval, pixels
    return int(parts[1]), int(parts[2]), parts[4]


def colour_box(png, rgb, region=None, tolerance=40):
    """Bounding box (x, y, w, h) of the pixels near colour rgb in a screenshot (inside region, given as
    x, y, w, h), or None."""
    width, height, pixels = read_ppm(png)
    rx, ry, rw, rh = region or (0, 0, width, height)
    r0, g0, b0 = rgb
    left, top, right, bottom = width, height, -1, -1
    for y in range(max(0, ry), min(height, ry + rh)):
        row = pixels[y * width * 3:(y + 1) * width * 3]
        for x in range(max(0, rx), min(width, rx + rw)):
            r, g, b = row[3 * x], row[3 * x + 1], row[3 * x + 2]
            if abs(r - r0) < tolerance and abs(g - g0) < tolerance and abs(b - b0) < tolerance:
                left, right = min(left, x), max(right, x)
                top, bottom = min(top, y), max(bottom, y)
    if right < 0:
        return None
    return left, top, right - left + 1, bottom - top + 1


class Responsiveness:
    """Times a call that the program's event loop must answer itself (the window's extents, never cached), while
    waiting for something: the slowest answer tells whether the window ever stopped answering."""

    def __init__(self, app):
        self.frame = app.get_child_at_index(0)
        self.slowest = 0.0

    def check(self):
        start = time.time()
        extents(self.frame)
        self.slowest = max(self.slowest, time.time() - start)

    def wait_for(self, what, timeout):
        end = time.time() + timeout
        while time.time() < end:
            self.check()
            result = what()
            if result:
                return result
            time.sleep(0.05)
        return None
