#!/usr/bin/env python3
"""End-to-end cases of unattended runs under Wine: quiet runs that show nothing
whatever happens, setup.exe's status and arguments handed through, the run's log,
one launcher per suite, and free space checked before anything is written.

Same options and harness as run_e2e.py (with e2e_driver.exe). The driver answers
no box in these cases: a quiet run must not show one.
"""
import os
import shutil
import subprocess
import sys
import threading
import time

import run_e2e
from run_e2e import Skipped, check, check_files, win

NOT_ENOUGH_SPACE = 167
ERROR_CAPTION = 149
# Wine's start-up included; a run that waits for an answer takes the harness's timeout.
QUICK = 30


def read_log(path):
    check(os.path.isfile(path), f"no log at {path}")
    with open(path, "rb") as f:
        raw = f.read()
    try:
        return raw.decode("utf-8")
    except UnicodeDecodeError:
        raise run_e2e.Failure(f"the log is not UTF-8: {raw[:80]!r}")


def expect_silent(h, run, status=1):
    """Status `status`, within seconds, and nothing on screen."""
    h.expect_status(run, status)
    check(not run.boxes(), f"a quiet run showed a box: {run.describe()}")
    check(not run.dialog_visible() and not run.of("window"),
          f"a quiet run showed a window: {run.describe()}")


def timed(h, exe, arguments, **options):
    began = time.monotonic()
    run = h.launch(exe, arguments, **options)
    took = time.monotonic() - began
    check(took < QUICK, f"the run took {took:.0f} s")
    return run


def expect_log(text, *needles):
    for needle in needles:
        check(needle.lower() in text.lower(), f"the log does not say {needle!r}:\n{text}")


def quiet_too_long(h):
    installer = h.build_installer()
    directory = run_e2e.budget_directory(h, 127)
    log = h.path("run.log")
    run = timed(h, installer, ["/q", "/extractOnly", directory, "/log", win(log)])
    expect_silent(h, run)
    check(not os.path.exists(h.path(directory.rsplit("\\", 1)[1])),
          "a refused directory was created")
    expect_log(read_log(log), "Mode: extract-only, quiet", directory, h.texts.get(138, 1),
               "Exit status: 1")


def quiet_text_too_long(h):
    installer = h.build_installer()
    run = timed(h, installer, ["/extractOnly", win(h.work) + "\\" + "t" * 270, "/q"])
    expect_silent(h, run)


def quiet_other_suite(h):
    installer = h.build_installer()
    directory = h.path("downloads", "Suite")
    run_e2e.plant_other_suite(directory)
    log = h.path("run.log")
    run = timed(h, installer, ["/extractOnly", win(directory), "/q", "/log", win(log)])
    expect_silent(h, run)
    check(not os.path.exists(os.path.join(directory, "Installer", "setup.exe")),
          "files were extracted over another suite")
    expect_log(read_log(log), h.texts.get(145), "Exit status: 1")


def quiet_damaged_payload(h):
    broken = "Installer/data/table.csv"
    installer = h.build_installer(corrupt=broken)
    directory = h.path("downloads", "Suite")
    log = h.path("run.log")
    run = timed(h, installer, ["/q", "/extractOnly", win(directory), "/log", win(log)])
    expect_silent(h, run)
    text = read_log(log)
    # The failure, with the engine's own account of it.
    expect_log(text, "Extraction into", win(directory), "table.csv", "Exit status: 1")


def quiet_missing_payload(h):
    bare = h.launcher_copy("Bare")
    directory = h.path("downloads", "Suite")
    log = h.path("run.log")
    run = timed(h, bare, ["/q", "/extractOnly", win(directory), "/log", win(log)])
    expect_silent(h, run)
    expect_log(read_log(log), "payload cannot be opened", h.texts.get(147), "Exit status: 1")


def quiet_usage(h):
    # Typed without quotes: a second value for /extractOnly, refused without a box.
    exe = h.launcher_copy("Usage")
    cwd = h.path("current")
    os.makedirs(cwd)
    for arguments in (["/q", "/extractOnly", "C:\\My", "Downloads"], ["/q"],
                      ["/extractOnly", "D", "/q", "extra"]):
        run = timed(h, exe, arguments, cwd=cwd)
        expect_silent(h, run)
    check(not os.listdir(cwd), f"a refused command line wrote {os.listdir(cwd)}")


def log_unwritable(h):
    installer = h.build_installer()
    directory = h.path("downloads", "Suite")
    log = h.path("absent", "run.log")
    run = timed(h, installer, ["/extractOnly", win(directory), "/log", win(log)])
    expect_silent(h, run)
    check(not os.path.exists(directory), "the run went on without its log")


def setup_status_and_arguments(h):
    h.build_installer()
    directory = win(h.path("Chosen"))
    record = h.path("setup-record.txt")
    log = h.path("run.log")
    arguments = ["/log", win(log), "--", "/S", "two words", "C:\\Some Dir\\", 'say "hi"']
    run = h.launch(h.installer(), arguments, driver_options=["--dir", directory],
                   env_extra={"E2E_SETUP_RECORD": win(record), "E2E_SETUP_EXIT": "7"})
    h.expect_status(run, 7)
    check(not run.boxes(), f"the run showed a box: {run.describe()}")
    with open(record, encoding="utf-8") as f:
        given = [line[4:].replace("\\n", "\n").replace("\\\\", "\\")
                 for line in f.read().splitlines() if line.startswith("arg=")]
    check(given == ["/S", "two words", "C:\\Some Dir\\", 'say "hi"'],
          f"setup.exe was given {given}")
    expect_log(read_log(log), "Mode: interactive", "Download directory: '" + directory + "\\'",
               "Starting setup.exe", "setup.exe ended with status 7", "Exit status: 7",
               "Preferences written")

    # 3010, "restart needed", and 1602, "cancelled", come back as they are; the
    # earlier extraction is reused.
    for status in ("3010", "1602"):
        run = h.launch(h.installer(), ["/log", win(log)], driver_options=["--dir", directory],
                       env_extra={"E2E_SETUP_RECORD": win(record), "E2E_SETUP_EXIT": status})
        h.expect_status(run, int(status))
        expect_log(read_log(log), f"Reuse check: {len(h.files)} file entries checked, "
                                  f"0 missing or differing (0 bytes), 0 written")


def quiet_extract_log(h):
    installer = h.build_installer()
    directory = h.path("downloads", "Suite")
    log = h.path("run.log")
    run = timed(h, installer, ["/q", "/extractOnly", win(directory), "/log", win(log)])
    expect_silent(h, run, status=0)
    check_files(directory, h.files)
    expect_log(read_log(log), "Mode: extract-only, quiet", win(directory) + "\\",
               "Free space:", "Extraction done", "Preferences written", "Exit status: 0")


def wait_for(path, needle, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if os.path.exists(path):
            with open(path, "rb") as f:
                if needle in f.read():
                    return
        time.sleep(0.2)
    raise run_e2e.Failure(f"{path} never said {needle!r}")


def second_launcher(h):
    installer = h.build_installer()
    first_log = h.path("first.log")
    # The first launcher of the suite: an interactive dialog that nobody answers.
    first = h.wine(installer, "/log", win(first_log), output=h.path("first.out"))
    try:
        wait_for(first_log, b"Launcher lock", 60)
        wait_for(first_log, b"Preferences read", 60)
        second = shutil.copyfile(installer, h.path(f"Second_{h.tag}.exe"))
        directory = h.path("second")
        log = h.path("second.log")
        run = timed(h, second, ["/q", "/extractOnly", win(directory), "/log", win(log)])
        expect_silent(h, run)
        check(not os.path.exists(directory), "the second launcher wrote into its folder")
        expect_log(read_log(log), "Another launcher of this suite is running", "Exit status: 1")

        # A second interactive one leaves the first one's window to the user.
        third = shutil.copyfile(installer, h.path(f"Third_{h.tag}.exe"))
        run = timed(h, third, [], driver_options=["--exit"])
        h.expect_status(run, 0)
        check(not run.dialog_visible() and not run.boxes(),
              f"the second interactive launcher showed its own window: {run.describe()}")
        check(first.poll() is None, "the first launcher ended")
    finally:
        first.kill()
        h.kill_case_processes()
        first.wait()


def mount_small_drive(h):
    if os.geteuid() != 0 or not shutil.which("mount"):
        raise Skipped("mounting a small file system needs root")
    point = h.path("small")
    os.makedirs(point)
    mounted = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=8m", "tmpfs", point],
                             capture_output=True, text=True)
    if mounted.returncode != 0:
        raise Skipped(f"cannot mount a small file system here: {mounted.stderr.strip()}")
    devices = os.path.join(h.args.prefix, "dosdevices")
    for letter in "pqrstuvwxy":
        link = os.path.join(devices, letter + ":")
        if not os.path.lexists(link):
            os.symlink(point, link)
            return point, link, letter.upper() + ":"
    subprocess.run(["umount", point])
    raise Skipped("no free Wine drive letter")


def free_space(h):
    installer = h.build_installer()
    point, link, drive = mount_small_drive(h)
    try:
        directory = drive + "\\Kits\\Suite"
        log = h.path("run.log")
        run = timed(h, installer, ["/q", "/extractOnly", directory, "/log", win(log)])
        expect_silent(h, run)
        check(not os.listdir(point), f"a refused run wrote {os.listdir(point)}")
        expect_log(read_log(log), "Free space:", "Exit status: 1")

        # Not quiet: the message names the folder and the sizes in MB.
        run = timed(h, installer, ["/extractOnly", directory])
        h.expect_status(run, 1)
        free = os.statvfs(point)
        free_mb = free.f_bavail * free.f_frsize // (1 << 20)
        needed = sum(len(data) for data in h.files.values()) + 16 * (1 << 20)
        needed_mb = -(-needed // (1 << 20))
        h.expect_box(run, h.texts.get(NOT_ENOUGH_SPACE, directory + "\\", needed_mb, free_mb),
                     h.texts.get(ERROR_CAPTION), icon=True)
        check(not os.listdir(point), f"a refused run wrote {os.listdir(point)}")

        # In the dialog, the message leaves it open for another folder.
        run = h.launch(installer, [], driver_options=["--dir", directory, "--exit-after-box"])
        h.expect_status(run, 0)
        h.expect_box(run, h.texts.get(NOT_ENOUGH_SPACE, directory + "\\", needed_mb, free_mb),
                     h.texts.get(ERROR_CAPTION), icon=True)
        after = run.of("after_box")
        check(after and after[0]["dialog_visible"],
              f"the dialog did not stay open for another folder: {run.describe()}")
        check(not os.listdir(point), f"a refused run wrote {os.listdir(point)}")
    finally:
        os.remove(link)
        subprocess.run(["umount", point])


def free_space_reuse(h):
    """Only what is to be written counts: a folder that matches the payload is reused
    on a drive too small for the payload and its reserve, while one differing file,
    which would have to be written there, is refused and left as it is."""
    installer = h.build_installer()
    point, link, drive = mount_small_drive(h)
    try:
        directory = drive + "\\Kits\\Suite"
        root = os.path.join(point, "Kits", "Suite")
        for name, data in h.files.items():
            path = os.path.join(root, *name.split("/"))
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(data)
        log = h.path("run.log")
        run = timed(h, installer, ["/q", "/extractOnly", directory, "/log", win(log)])
        expect_silent(h, run, status=0)
        text = read_log(log)
        expect_log(text, f"Reuse check: {len(h.files)} file entries checked, "
                         f"0 missing or differing (0 bytes), 0 written", "Exit status: 0")
        check("Free space:" not in text, f"a full reuse asked for free space:\n{text}")
        check_files(root, h.files)

        table = os.path.join(root, "Installer", "data", "table.csv")
        with open(table, "r+b") as f:
            f.truncate(100)
        run = timed(h, installer, ["/q", "/extractOnly", directory, "/log", win(log)])
        expect_silent(h, run)
        size = len(h.files["Installer/data/table.csv"])
        expect_log(read_log(log), f"1 missing or differing ({size} bytes)",
                   f"Free space: {size} bytes to write", "Exit status: 1")
        check(os.path.getsize(table) == 100, "a refused run rewrote the differing file")
    finally:
        os.remove(link)
        subprocess.run(["umount", point])


CASES = {
    "unattended.quiet_too_long": (quiet_too_long, False),
    "unattended.quiet_text_too_long": (quiet_text_too_long, False),
    "unattended.quiet_other_suite": (quiet_other_suite, False),
    "unattended.quiet_damaged_payload": (quiet_damaged_payload, False),
    "unattended.quiet_missing_payload": (quiet_missing_payload, False),
    "unattended.quiet_usage": (quiet_usage, False),
    "unattended.log_unwritable": (log_unwritable, False),
    "unattended.quiet_extract_log": (quiet_extract_log, True),
    "unattended.setup_status_and_arguments": (setup_status_and_arguments, True),
    "unattended.second_launcher": (second_launcher, True),
    "unattended.free_space": (free_space, True),
    "unattended.free_space_reuse": (free_space_reuse, True),
}

if __name__ == "__main__":
    run_e2e.CASES = CASES
    sys.exit(run_e2e.main())
