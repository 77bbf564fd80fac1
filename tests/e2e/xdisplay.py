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


def running_display():
    """The display this process was given, when its X server is there (./run test runs
    the end-to-end tests under xvfb-run)."""
    display = os.environ.get("DISPLAY", "")
    number = display[1:].split(".")[0] if display.startswith(":") else ""
    if number.isdigit() and os.path.exists(f"/tmp/.X11-unix/X{number}"):
        return display
    return None


def start(state_path, prefix, wine_run, driver):
    stop(state_path)
    display = running_display()
    if display:
        with open(state_path, "w") as state:
            state.write(f"{display} 0\n")
        print(f"using the display {display}")
    else:
        display = start_xvfb(state_path)
        if not display:
            return 1
    keep_wine(state_path, prefix, wine_run, driver, display)
    return 0


def launch_xvfb(depth=24):
    """Starts Xvfb on a free display of DEPTH bits; returns the process and the display,
    or the process and None when it did not come up."""
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp", "-screen", "0",
         f"1024x768x{depth}"],
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
    return xvfb, (":" + number.decode().strip()) if number.strip() else None


def start_xvfb(state_path):
    xvfb, display = launch_xvfb()
    if not display:
        print("Xvfb did not start", file=sys.stderr)
        return None
    with open(state_path, "w") as state:
        state.write(f"{display} {xvfb.pid}\n")
    print(f"Xvfb on {display} (pid {xvfb.pid})")
    return display


def keep_wine(state_path, prefix, wine_run, driver, display):
    # A wineserver that outlives each launcher run by a minute saves Wine's start-up
    # (several seconds) in every test. It ends by itself once the tests are done.
    env = dict(os.environ, WINEPREFIX=os.path.abspath(prefix), DISPLAY=display)
    subprocess.run(["wineserver", "-p60"], env=env, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    # Wine's desktop process lives as long as some program does, and starting it takes
    # seconds; a driver that watches for nothing keeps it (on this display) until stop.
    # Its time limit only ends it should stop never come: one inside a run would let the
    # desktop shut down between two cases, and a program that starts meanwhile finds no
    # desktop to make its windows on (it ends at once with status 1).
    stop_file = state_path + ".stop"
    if os.path.exists(stop_file):
        os.remove(stop_file)
    subprocess.Popen([wine_run, driver, "--image", "no-such-program.exe", "--done",
                      "Z:" + os.path.abspath(stop_file).replace("/", "\\"),
                      "--timeout", "21600", "--interval", "500"],
                     env=dict(env, WINEDEBUG="-all"), stdin=subprocess.DEVNULL,
                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)


def stop(state_path):
    try:
        with open(state_path) as state:
            _, pid = state.read().split()
    except (OSError, ValueError):
        return 0
    open(state_path + ".stop", "w").close()
    time.sleep(0.5)
    os.remove(state_path)
    if int(pid) == 0:
        return 0
    try:
        os.kill(int(pid), signal.SIGTERM)
        for _ in range(50):
            os.kill(int(pid), 0)
            time.sleep(0.1)
    except (ProcessLookupError, PermissionError):
        pass
    return 0


if __name__ == "__main__":
    if len(sys.argv) == 6 and sys.argv[1] == "start":
        sys.exit(start(*sys.argv[2:]))
    if len(sys.argv) == 3 and sys.argv[1] == "stop":
        sys.exit(stop(sys.argv[2]))
    print(__doc__, file=sys.stderr)
    sys.exit(2)
