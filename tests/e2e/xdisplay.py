#!/usr/bin/env python3
"""The X display that the end-to-end tests show their windows on.

  xdisplay.py start STATE PREFIX WINE_RUN DRIVER
        start Xvfb on a free display, note it in STATE, and keep the prefix's Wine
        (its server and its desktop process) running between the tests
  xdisplay.py stop STATE
        stop them

Wine needs a display to create windows and message boxes at all. One display serves
every test of a run; the tests tell their processes apart by process, not by display.
"""
import os
import signal
import subprocess
import sys
import time


def start(state_path, prefix, wine_run, driver):
    stop(state_path)
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp", "-screen", "0", "1024x768x24"],
        pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
        stderr=subprocess.DEVNULL, start_new_session=True)
    os.close(write_end)
    number = b""
    with os.fdopen(read_end, "rb") as pipe:
        while not number.endswith(b"\n"):
            chunk = pipe.read(1)
            if not chunk:
                break
            number += chunk
    if not number.strip():
        print("Xvfb did not start", file=sys.stderr)
        return 1
    display = ":" + number.decode().strip()
    with open(state_path, "w") as state:
        state.write(f"{display} {xvfb.pid}\n")
    # A wineserver that outlives each launcher run by a minute saves Wine's start-up
    # (several seconds) in every test. It ends by itself once the tests are done.
    env = dict(os.environ, WINEPREFIX=os.path.abspath(prefix), DISPLAY=display)
    subprocess.run(["wineserver", "-p60"], env=env, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    # Wine's desktop process lives as long as some program does, and starting it takes
    # seconds; a driver that watches for nothing keeps it (on this display) until stop.
    stop_file = state_path + ".stop"
    if os.path.exists(stop_file):
        os.remove(stop_file)
    subprocess.Popen([wine_run, driver, "--image", "no-such-program.exe", "--done",
                      "Z:" + os.path.abspath(stop_file).replace("/", "\\"), "--timeout", "1800", "--interval", "500"],
                     env=dict(env, WINEDEBUG="-all"), stdin=subprocess.DEVNULL,
                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
    print(f"Xvfb on {display} (pid {xvfb.pid})")
    return 0


def stop(state_path):
    try:
        with open(state_path) as state:
            _, pid = state.read().split()
    except (OSError, ValueError):
        return 0
    open(state_path + ".stop", "w").close()
    time.sleep(0.5)
    try:
        os.kill(int(pid), signal.SIGTERM)
        for _ in range(50):
            os.kill(int(pid), 0)
            time.sleep(0.1)
    except (ProcessLookupError, PermissionError):
        pass
    os.remove(state_path)
    return 0


if __name__ == "__main__":
    if len(sys.argv) == 6 and sys.argv[1] == "start":
        sys.exit(start(*sys.argv[2:]))
    if len(sys.argv) == 3 and sys.argv[1] == "stop":
        sys.exit(stop(sys.argv[2]))
    print(__doc__, file=sys.stderr)
    sys.exit(2)
