#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""On a Wayland compositor (weston, headless): the real program starts and opens a folder from the command line
and lives until it is closed; a session through the main window ("z" erasing and trashing, each one box, Esc,
Enter three times, a slideshow tick, Esc, close) keeps the connection alive and ends with exit code 0."""
import os
import shutil
import subprocess
import sys
import tempfile
import time


def main(binary, session):
    tmp = tempfile.mkdtemp(prefix="glimmerbox-wayland-")
    os.chmod(tmp, 0o700)
    env = dict(os.environ, XDG_RUNTIME_DIR=tmp, XDG_DATA_HOME=os.path.join(tmp, "data"), QT_QPA_PLATFORM="wayland",
               WAYLAND_DISPLAY="glimmerbox-test")
    env.pop("DISPLAY", None)
    if "ASAN_OPTIONS" in env:
        # Under the sanitizers: full stacks, so that the leaks Mesa's EGL leaves at exit match their suppression.
        env["ASAN_OPTIONS"] += ":fast_unwind_on_malloc=0"
    weston = subprocess.Popen(["weston", "--backend=headless-backend.so", "--socket=glimmerbox-test",
                               "--width=1600", "--height=1000", "--idle-time=0"],
                              env=env, stdout=subprocess.DEVNULL, stderr=subprocess.STDOUT)
    try:
        end = time.time() + 30
        while not os.path.exists(os.path.join(tmp, "glimmerbox-test")):
            assert weston.poll() is None and time.time() < end, "weston did not start"
            time.sleep(0.1)
        folder = os.path.join(tmp, "pictures")
        os.mkdir(folder)
        for name, colour, size in (("a.jpg", "green", "2400x1600"), ("b.jpg", "orange", "300x200"),
                                   ("c.gif", "purple", "1200x900"), ("d.bmp", "teal", "640x480"),
                                   ("e.jpg", "olive", "800x600"), ("f.jpg", "red", "1600x1200")):
            subprocess.run(["convert", "-size", size, "xc:" + colour, os.path.join(folder, name)], check=True)

        # The real program, opened on the folder, is still there after a few seconds.
        program = subprocess.Popen([binary, folder], env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        time.sleep(4)
        assert program.poll() is None, "the program ended: %s" % program.communicate()[0].decode(errors="replace")
        program.terminate()
        program.wait(10)

        run = subprocess.run([session, folder], env=env, capture_output=True, text=True, timeout=120)
        print(run.stdout)
        assert run.returncode == 0, "exit code %d\n%s" % (run.returncode, run.stderr[-3000:])
        assert weston.poll() is None, "the compositor went away"
    finally:
        weston.terminate()
        weston.wait(10)
        shutil.rmtree(tmp, ignore_errors=True)
    print("1 passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
