#!/usr/bin/env python3
"""The X display that the end-to-end tests show their windows on.

  xdisplay.py start STATE PREFIX   start Xvfb on a free display, note it in STATE, and
                                   keep the prefix's wineserver up between the tests
  xdisplay.py stop STATE           stop that Xvfb

Wine needs a display to create windows and message boxes at all. One display serves
every test of a run; the tests tell their processes apart by process, not by display.
"""
import os
import signal
import subprocess
import sys
import time


def start(state_path, prefix):
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
    # Wine's services start with the first program; started here, they see this display.
    wine = "/usr/lib/wine/wine64" if os.path.exists("/usr/lib/wine/wine64") else "wine"
    subprocess.run([wine, "cmd.exe", "/c", "exit"], env=dict(env, WINEDEBUG="-all"),
                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=120)
    print(f"Xvfb on {display} (pid {xvfb.pid})")
    return 0


def stop(state_path):
    try:
        with open(state_path) as state:
            _, pid = state.read().split()
    except (OSError, ValueError):
        return 0
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
    if len(sys.argv) == 4 and sys.argv[1] == "start":
        sys.exit(start(sys.argv[2], sys.argv[3]))
    if len(sys.argv) == 3 and sys.argv[1] == "stop":
        sys.exit(stop(sys.argv[2]))
    print(__doc__, file=sys.stderr)
    sys.exit(2)
