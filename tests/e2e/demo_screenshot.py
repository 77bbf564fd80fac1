#!/usr/bin/env python3
"""A picture of the launcher's interactive dialog, for ./run demo.

  demo_screenshot.py LAUNCHER DRIVER WINE_RUN PREFIX FILE.png

Starts Xvfb, runs LAUNCHER under Wine with e2e_picker_driver.exe holding the
dialog open, saves the screen to FILE.png, lets the driver press Exit, and stops
Xvfb. Prints the PNG's path.
"""
import os
import subprocess
import sys
import tempfile
import time

import screenshot

HERE = os.path.dirname(os.path.abspath(__file__))


def win(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def main(launcher, driver, wine_run, prefix, target):
    launcher, driver, wine_run, prefix, target = (
        os.path.abspath(p) for p in (launcher, driver, wine_run, prefix, target))
    saved = False
    with tempfile.TemporaryDirectory() as work:
        state = os.path.join(work, "display")
        # xdisplay.py keeps Wine's desktop process up with the plain driver beside ours.
        idle_driver = os.path.join(os.path.dirname(driver), "e2e_driver.exe")
        if subprocess.run([sys.executable, os.path.join(HERE, "xdisplay.py"), "start", state,
                           prefix, wine_run, idle_driver]).returncode != 0:
            return 1
        try:
            with open(state) as f:
                display = f.read().split()[0]
            env = dict(os.environ, WINEPREFIX=prefix, DISPLAY=display, WINEDEBUG="-all")
            ready, release = os.path.join(work, "ready"), os.path.join(work, "release")
            watcher = subprocess.Popen(
                [wine_run, driver, "--image", os.path.basename(launcher), "--shot-ready",
                 win(ready), "--shot-release", win(release), "--timeout", "120"],
                env=env, stdout=subprocess.DEVNULL)
            program = subprocess.Popen([wine_run, launcher], env=env, cwd=work,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            deadline = time.time() + 120
            while time.time() < deadline and not os.path.exists(ready):
                time.sleep(0.2)
            if os.path.exists(ready):
                time.sleep(1.0)  # let the dialog finish painting
                saved = screenshot.grab(display, target)
            open(release, "w").close()
            for process in (program, watcher):
                try:
                    process.wait(timeout=60)
                except subprocess.TimeoutExpired:
                    process.kill()
        finally:
            subprocess.run([sys.executable, os.path.join(HERE, "xdisplay.py"), "stop", state])
    if not saved:
        print("no screenshot was taken", file=sys.stderr)
        return 1
    print(os.path.abspath(target))
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 6:
        print(__doc__, file=sys.stderr)
        sys.exit(64)
    sys.exit(main(*sys.argv[1:]))
