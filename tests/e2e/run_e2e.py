#!/usr/bin/env python3
"""End-to-end tests of Pellquin.exe under Wine.

Each case makes its own payload and installer (with the launcher's builder mode) in
its own folder, runs the launcher under Wine next to e2e_driver.exe, which reports the
windows and message boxes it sees and answers them, and then checks the exit status,
the boxes, the files and the preferences.

  run_e2e.py --list                 the cases, one a line: NAME [preferences]
  run_e2e.py --case NAME OPTIONS    run one case (exit 0 pass, 1 fail, 77 skipped)

"preferences" marks the cases that read or write the machine's preferences file; the
build runs those one at a time.
"""
import argparse
import io
import json
import os
import pwd
import re
import shutil
import signal
import subprocess
import sys
import threading
import time
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
SKIP = 77


class Failure(Exception):
    pass


class Skipped(Exception):
    """A case that cannot run on this machine; it reports itself skipped."""


def check(condition, message):
    if not condition:
        raise Failure(message)


def win(path):
    """The Windows name of a POSIX path, through Wine's Z: drive."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


# --- the launcher's texts -------------------------------------------------------------


class Texts:
    def __init__(self, strings_json, suite):
        with open(strings_json, encoding="utf-8") as f:
            table = json.load(f)["strings"]
        self.suite = suite
        self.by_id = {}
        for entry in table:
            text = entry.get("en", entry.get("all"))
            if text is None:
                continue
            for name, value in suite.items():
                text = text.replace("${" + name + "}", value)
            self.by_id[entry["id"]] = text

    def get(self, string_id, *inserts):
        """String `string_id` with %1, %2 (and %1!d!) replaced, as the message formatter does."""
        text = self.by_id[string_id]
        return re.sub(r"%([1-9])(![a-z]+!)?",
                      lambda m: str(inserts[int(m.group(1)) - 1]), text)

    def title(self):
        return self.get(132, self.get(133))


def same_text(shown, expected):
    # A message box may show a line break as CR LF.
    return shown.replace("\r\n", "\n") == expected


# --- payloads -----------------------------------------------------------------------

ORVSUITE = ('<?xml version="1.0" encoding="utf-8"?>\r\n<suite>\r\n'
            '  <suiteid name="{name}" packageguid="{guid}" version="1.0"/>\r\n</suite>\r\n')


def payload_files(setup_exe, guid, name):
    with open(setup_exe, "rb") as f:
        setup = f.read()
    numbers = "".join(f"{i},{i * i},{i % 7}\r\n" for i in range(6000)).encode()
    return {
        "Installer/setup.exe": setup,
        "Installer/orvsuite.xml": ORVSUITE.format(name=name, guid=guid).encode(),
        "Installer/readme.txt": b"Run setup.exe to choose the products to install.\r\n",
        "Installer/data/table.csv": numbers,
        "Installer/data/nested/deeper/blob.bin": bytes((i * 37 + i // 251) & 0xFF
                                                        for i in range(40000)),
        "Installer/data/nested/notes.txt": b"nested\r\n" * 500,
    }


def write_payload(path, files, corrupt=None):
    """A ZIP of `files`; with `corrupt`, that entry's compressed data has bytes flipped."""
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", zipfile.ZIP_DEFLATED) as archive:
        for name, data in files.items():
            archive.writestr(name, data)
    data = bytearray(buffer.getvalue())
    if corrupt:
        with zipfile.ZipFile(io.BytesIO(bytes(data))) as archive:
            info = archive.getinfo(corrupt)
        header = info.header_offset
        name_length = int.from_bytes(data[header + 26:header + 28], "little")
        extra_length = int.from_bytes(data[header + 28:header + 30], "little")
        start = header + 30 + name_length + extra_length
        middle = start + info.compress_size // 2
        for i in range(middle, middle + 16):
            data[i] ^= 0xFF
    with open(path, "wb") as f:
        f.write(data)


def check_files(root, files, skip=()):
    for name, data in files.items():
        if name in skip:
            continue
        path = os.path.join(root, *name.split("/"))
        check(os.path.isfile(path), f"{path} was not extracted")
        with open(path, "rb") as f:
            check(f.read() == data, f"{path} does not hold what the payload holds")


# --- running the launcher -----------------------------------------------------------


class Run:
    def __init__(self, status, events, driver_status):
        self.status = status
        self.events = events
        self.driver_status = driver_status

    def of(self, kind):
        return [e for e in self.events if e["event"] == kind]

    def boxes(self):
        return self.of("msgbox")

    def dialog_visible(self):
        return bool(self.of("dialog_shown"))

    def describe(self):
        return f"status {self.status}, driver: " + "; ".join(json.dumps(e) for e in self.events)


class Harness:
    def __init__(self, args, case):
        self.args = args
        self.case = case
        self.work = os.path.join(args.work, case)
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.work)
        self.token = f"{case}-{os.getpid()}"
        # Program names differ from case to case, since the driver finds its launcher
        # by name among every process of the shared Wine prefix.
        self.tag = case.replace(".", "_")
        with open(args.display_file) as f:
            display = f.read().split()[0]
        self.env = dict(os.environ, WINEPREFIX=args.prefix, DISPLAY=display,
                        WINEDEBUG="-all", E2E_CASE=self.token)
        self.env.pop("E2E_SETUP_RECORD", None)
        self.env.pop("E2E_SETUP_RELEASE", None)
        self.texts = Texts(args.strings, {"PELLQUIN_SUITE_NAME": args.suite_name,
                                          "PELLQUIN_SUITE_FOLDER": args.suite_folder,
                                          "PELLQUIN_SUITE_GUID": args.suite_guid})
        self.files = payload_files(args.setup, args.suite_guid, args.suite_name)

    def path(self, *parts):
        return os.path.join(self.work, *parts)

    def wine(self, exe, *arguments, output, cwd=None, env=None):
        # Output goes to a file, not a pipe: Wine's desktop process, when a program of
        # this case starts it, inherits the program's handles and outlives it.
        with open(output, "wb") as sink:
            return subprocess.Popen([self.args.wine_run, exe, *arguments], cwd=cwd or self.work,
                                    env=env or self.env, stdin=subprocess.DEVNULL, stdout=sink,
                                    stderr=subprocess.STDOUT)

    def kill_case_processes(self):
        """Every process of this case, found by the marker in its environment."""
        marker = f"E2E_CASE={self.token}".encode()
        for pid in os.listdir("/proc"):
            if not pid.isdigit() or int(pid) == os.getpid():
                continue
            try:
                with open(f"/proc/{pid}/environ", "rb") as f:
                    if marker not in f.read().split(b"\0"):
                        continue
                with open(f"/proc/{pid}/cmdline", "rb") as f:
                    command = f.read().lower()
                # Wine's own server and services may have been started by this case's
                # first program; the other cases still need them.
                if b"wineserver" in command or b"\\windows\\" in command:
                    continue
                os.kill(int(pid), signal.SIGKILL)
            except OSError:
                pass

    def launch(self, exe, arguments, driver_options=(), env_extra=None, cwd=None):
        """Runs `exe` with `arguments` while the driver watches it; returns a Run."""
        env = dict(self.env, **(env_extra or {}))
        done = self.path("driver.done")
        if os.path.exists(done):
            os.remove(done)
        driver_log, launcher_log = self.path("driver.log"), self.path("launcher.log")
        driver = self.wine(self.args.driver, "--image", os.path.basename(exe), "--done", win(done),
                           "--timeout", "120", *driver_options, output=driver_log, env=env)
        began = time.monotonic()
        launcher = self.wine(exe, *arguments, output=launcher_log, cwd=cwd, env=env)
        try:
            status = launcher.wait(timeout=self.args.timeout)
        except subprocess.TimeoutExpired:
            self.kill_case_processes()
            launcher.kill()
            launcher.wait()
            status = None
        open(done, "w").close()
        try:
            driver.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self.kill_case_processes()
            driver.kill()
            driver.wait()
        with open(launcher_log, "rb") as f:
            output = f.read()
        with open(driver_log, "rb") as f:
            driver_output = f.read()
        events = []
        for line in driver_output.decode("utf-8", "replace").splitlines():
            if line.startswith("{"):
                events.append(json.loads(line))
        run = Run(status, events, driver.returncode)
        print(f"$ {os.path.basename(exe)} {' '.join(arguments)}  "
              f"({time.monotonic() - began:.1f} s)\n  {run.describe()}")
        if output.strip():
            print("  launcher output: " + output.decode("utf-8", "replace").strip())
        check(status is not None, f"the launcher did not end within {self.args.timeout} s "
                                  f"(a window waits for an answer?): {run.describe()}")
        exits = run.of("exit")
        if exits:
            # A POSIX status holds the low 8 bits of the Windows exit code (3010 ends as
            # 194); the driver saw all of it.
            code = exits[0]["code"]
            check(status is not None and code & 0xFF == status,
                  f"wine reported status {status}, the driver saw exit code {code}")
            run.status = code
        return run

    def launcher_copy(self, role):
        """A copy of the launcher named after `role` and this case."""
        copy = self.path(f"{role}_{self.tag}.exe")
        if not os.path.exists(copy):
            shutil.copyfile(self.args.launcher, copy)
        return copy

    def installer(self):
        return self.path(f"Suite_{self.tag}.exe")

    def build_installer(self, files=None, corrupt=None):
        """An installer made the way a suite's is made: builder mode on a launcher copy."""
        archive = self.path("payload.zip")
        write_payload(archive, files or self.files, corrupt)
        target = self.launcher_copy("Suite")
        builder = self.launcher_copy("Builder")
        run = self.launch(builder, ["/loadZip", win(archive), "/targetExe", win(target)])
        check(run.status == 0, f"builder mode failed: {run.describe()}")
        return target

    # The user's local application data, where Wine keeps it for the user running it.
    def local_appdata(self):
        user = pwd.getpwuid(os.getuid()).pw_name
        return os.path.join(self.args.prefix, "drive_c", "users", user, "AppData", "Local")

    def local_appdata_win(self):
        return "C:\\users\\" + pwd.getpwuid(os.getuid()).pw_name + "\\AppData\\Local"

    def default_directory(self):
        """What the launcher proposes when nothing is remembered."""
        return (self.local_appdata_win() + "\\Orvandis Downloads\\" + self.args.suite_folder
                + "\\")

    # The user's preferences file, as the launcher keeps it.
    def preferences_path(self):
        return os.path.join(self.local_appdata(), "Orvandis", "Installation Preferences",
                            "Pellrune.ini")

    # Where all users' preferences were once kept: never read or written any more.
    def all_users_preferences_path(self):
        return os.path.join(self.args.prefix, "drive_c", "ProgramData", "Orvandis",
                            "Installation Preferences", "Pellrune.ini")

    def write_preferences(self, path, text):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(b"\xff\xfe" + text.replace("\n", "\r\n").encode("utf-16-le"))

    def preferences(self):
        path = self.preferences_path()
        check(os.path.isfile(path), f"no preferences file at {path}")
        with open(path, "rb") as f:
            raw = f.read()
        check(raw[:2] == b"\xff\xfe", "the preferences file does not begin with FF FE")
        sections = {}
        section = None
        for line in raw[2:].decode("utf-16-le").splitlines():
            line = line.strip()
            if line.startswith("[") and line.endswith("]"):
                section = sections.setdefault(line[1:-1].lower(), {})
            elif "=" in line and section is not None:
                key, value = line.split("=", 1)
                section[key.strip().lower()] = value.strip()
        return sections

    def check_saved_directory(self, directory):
        section = self.preferences().get(self.args.suite_guid.lower())
        check(section is not None, f"the preferences hold no section {self.args.suite_guid}")
        check(section.get("fullpath") == directory,
              f"FullPath is {section.get('fullpath')!r}, expected {directory!r}")
        check(section.get("suitename") == self.args.suite_name,
              f"SuiteName is {section.get('suitename')!r}")

    def expect_box(self, run, text, caption, icon):
        boxes = run.boxes()
        check(len(boxes) == 1, f"expected one message box, saw {len(boxes)}: {run.describe()}")
        box = boxes[0]
        check(same_text(box["text"], text),
              f"box text {box['text']!r}, expected {text!r}")
        check(box["caption"] == caption, f"box caption {box['caption']!r}, expected {caption!r}")
        check(box["icon"] == icon, f"box icon shown: {box['icon']}, expected {icon}")
        check(box["buttons"] == ["OK"], f"box buttons {box['buttons']}")

    def expect_status(self, run, status):
        check(run.status == status, f"exit status {run.status}, expected {status}: "
                                    f"{run.describe()}")


# --- the cases ----------------------------------------------------------------------


def usage_case(arguments):
    def case(h):
        exe = h.launcher_copy("Usage")
        run = h.launch(exe, arguments)
        h.expect_status(run, 1)
        h.expect_box(run, h.texts.get(164, "Usage_" + h.tag),
                     h.texts.title() + " " + h.texts.get(165), icon=True)
        check(not run.dialog_visible(), "the usage run showed the main dialog")
    return case


def builder_makes_installer(h):
    archive = h.path("payload.zip")
    write_payload(archive, h.files)
    target = h.launcher_copy("Built")
    before = os.path.getsize(target)
    run = h.launch(h.launcher_copy("Builder"), ["/loadZip", win(archive), "/targetExe", win(target)])
    h.expect_status(run, 0)
    check(not run.boxes() and not run.of("dialog"), f"builder mode opened a window: "
                                                    f"{run.describe()}")
    with open(target, "rb") as f:
        image = f.read()
    with open(archive, "rb") as f:
        payload = f.read()
    check(len(image) > before and payload in image,
          "the target does not carry the ZIP file's bytes")
    # What was built is an installer: it extracts its payload.
    directory = h.path("out")
    run = h.launch(target, ["/extractOnly", win(directory), "/q"])
    h.expect_status(run, 0)
    check_files(directory, h.files)


def builder_missing_target(h):
    archive = h.path("payload.zip")
    write_payload(archive, h.files)
    target = h.path("absent", "Missing.exe")
    run = h.launch(h.launcher_copy("Builder"), ["/loadZip", win(archive), "/targetExe", win(target)])
    h.expect_status(run, 1)
    check(not run.boxes() and not run.of("dialog"), f"builder mode opened a window: "
                                                    f"{run.describe()}")
    check(not os.path.exists(target), "builder mode created the missing target")


def builder_refuses_unusable_payloads(h):
    """Payloads an installer could not use: each is refused and the target left as it was."""
    other = ORVSUITE.format(name="Another Suite", guid="{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}")
    without = lambda name: {n: d for n, d in h.files.items() if n != name}
    payloads = {
        "no_setup": without("Installer/setup.exe"),
        "no_description": without("Installer/orvsuite.xml"),
        "other_suite": {**h.files, "Installer/orvsuite.xml": other.encode()},
        "malformed": {**h.files, "Installer/orvsuite.xml": b"<suite><suiteid packageguid="},
    }
    target = h.launcher_copy("Refusing")
    with open(target, "rb") as f:
        original = f.read()
    for label, files in payloads.items():
        archive = h.path(f"payload-{label}.zip")
        write_payload(archive, files)
        run = h.launch(h.launcher_copy("Builder"),
                       ["/loadZip", win(archive), "/targetExe", win(target)])
        check(run.status == 1, f"{label}: exit status {run.status}, expected 1: {run.describe()}")
        check(not run.boxes() and not run.of("dialog"), f"{label}: builder mode opened a window: "
                                                        f"{run.describe()}")
        with open(target, "rb") as f:
            check(f.read() == original, f"{label}: the target was changed")


def extract_quiet(h):
    installer = h.build_installer()
    directory = h.path("downloads", "Suite")
    record = h.path("setup-record.txt")
    run = h.launch(installer, ["/extractOnly", win(directory), "/q"],
                   env_extra={"E2E_SETUP_RECORD": win(record)})
    h.expect_status(run, 0)
    check(not run.boxes(), f"a quiet extraction showed a box: {run.describe()}")
    check(not run.dialog_visible(), "the extract-only dialog became visible")
    check_files(directory, h.files)
    check(not os.path.exists(record), "an extract-only run started setup.exe")
    h.check_saved_directory(win(directory) + "\\")


def extract_success_box(h):
    installer = h.build_installer()
    directory = h.path("downloads", "Suite")
    run = h.launch(installer, ["/extractOnly", win(directory)])
    h.expect_status(run, 0)
    h.expect_box(run, h.texts.get(152, win(directory) + "\\", "Installer"), h.texts.title(),
                 icon=False)
    check(not run.dialog_visible(), "the extract-only dialog became visible")
    check_files(directory, h.files)


def extract_relative_directory(h):
    # Taken against the launcher's working directory; switch names in any case, "-" or "/".
    installer = h.build_installer()
    cwd = h.path("current")
    os.makedirs(cwd)
    run = h.launch(installer, ["-EXTRACTONLY", "rel\\out", "/Q"], cwd=cwd)
    h.expect_status(run, 0)
    check(not run.boxes(), f"a quiet extraction showed a box: {run.describe()}")
    check_files(os.path.join(cwd, "rel", "out"), h.files)
    h.check_saved_directory(win(os.path.join(cwd, "rel", "out")) + "\\")


def budget_directory(h, length):
    """A directory whose text, with its closing backslash, is `length` characters."""
    base = win(h.work) + "\\"
    room = length - len(base) - 1
    check(room >= 1, f"the work folder {h.work} is too long for this case")
    return base + "b" * room


def extract_budget_exact(h):
    installer = h.build_installer()
    directory = budget_directory(h, 126)
    run = h.launch(installer, ["/extractOnly", directory, "/q"])
    h.expect_status(run, 0)
    check(not run.boxes(), f"a directory of 126 characters was refused: {run.describe()}")
    check_files(h.path(directory.rsplit("\\", 1)[1]), h.files)


def extract_budget_over_by_one(h):
    installer = h.build_installer()
    directory = budget_directory(h, 127)
    run = h.launch(installer, ["/extractOnly", directory])
    h.expect_status(run, 1)
    h.expect_box(run, h.texts.get(138, 1), h.texts.get(139), icon=True)
    check(not run.dialog_visible(), "the extract-only dialog became visible")
    check(not os.path.exists(h.path(directory.rsplit("\\", 1)[1])),
          "a refused directory was created")


def extract_text_too_long(h):
    installer = h.build_installer()
    directory = win(h.work) + "\\" + "t" * 270
    run = h.launch(installer, ["/extractOnly", directory])
    h.expect_status(run, 1)
    h.expect_box(run, h.texts.get(166), h.texts.get(139), icon=True)
    check(not run.dialog_visible(), "the extract-only dialog became visible")


def plant_other_suite(directory):
    """`directory` holding another suite's description; returns its bytes."""
    os.makedirs(os.path.join(directory, "Installer"))
    other = ORVSUITE.format(name="Another Suite", guid="{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}")
    with open(os.path.join(directory, "Installer", "orvsuite.xml"), "wb") as f:
        f.write(other.encode())
    return other.encode()


def extract_other_suite(h):
    installer = h.build_installer()
    directory = h.path("downloads", "Suite")
    other = plant_other_suite(directory).decode()
    run = h.launch(installer, ["/extractOnly", win(directory)])
    h.expect_status(run, 1)
    h.expect_box(run, h.texts.get(145), h.texts.get(146), icon=False)
    check(not os.path.exists(os.path.join(directory, "Installer", "setup.exe")),
          "files were extracted over another suite")
    with open(os.path.join(directory, "Installer", "orvsuite.xml"), "rb") as f:
        check(f.read() == other.encode(), "the other suite's description was changed")


def extract_corrupt_entry(h):
    broken = "Installer/data/table.csv"
    installer = h.build_installer(corrupt=broken)
    directory = h.path("downloads", "Suite")
    run = h.launch(installer, ["/extractOnly", win(directory)])
    h.expect_status(run, 1)
    h.expect_box(run, h.texts.get(150), h.texts.get(149), icon=True)
    check(not run.dialog_visible(), "the extract-only dialog became visible")
    check_files(directory, h.files, skip={broken})
    broken_path = os.path.join(directory, *broken.split("/"))
    if os.path.exists(broken_path):
        with open(broken_path, "rb") as f:
            check(f.read() != h.files[broken], "the corrupted entry came out intact")


def interactive_start(h, directory, record, release):
    """Drives one interactive run: type `directory`, press Start, hold setup.exe."""
    return h.launch(h.installer(), [], driver_options=["--dir", directory, "--hold", win(record),
                                                   win(release)],
                    env_extra={"E2E_SETUP_RECORD": win(record),
                               "E2E_SETUP_RELEASE": win(release)})


def setup_record(record):
    with open(record, encoding="utf-8") as f:
        return dict(line.split("=", 1) for line in f.read().splitlines() if "=" in line)


def check_installer_started(h, run, record, directory):
    running = run.of("installer_running")
    check(running, f"setup.exe was not started: {run.describe()}")
    check(running[0]["launcher_running"], "the launcher did not wait for setup.exe")
    fields = setup_record(record)
    setup = directory + "\\Installer\\setup.exe"
    check(fields["cmdline"].strip('"').lower().startswith(setup.lower()),
          f"setup.exe started as {fields['cmdline']!r}, expected {setup!r}")
    # Its own folder, never the launcher's (a Downloads folder, where an elevated
    # installer might find libraries somebody put there).
    own = directory + "\\Installer"
    check(fields["cwd"].rstrip("\\").lower() == own.lower(),
          f"setup.exe ran in {fields['cwd']!r}, expected its own folder {own!r}")
    # The payload's own setup.exe, not one that was there before.
    size = len(h.files["Installer/setup.exe"])
    check(fields["size"] == str(size),
          f"the setup.exe that ran has {fields['size']} bytes, the payload's has {size}")
    return running[0]


def interactive(h):
    h.build_installer()
    if os.path.exists(h.preferences_path()):
        os.remove(h.preferences_path())
    # The all-users file of earlier versions, which anybody could write: ignored.
    planted = f"[{h.args.suite_guid}]\nFullPath=C:\\Planted\\\n"
    h.write_preferences(h.all_users_preferences_path(), planted)
    with open(h.all_users_preferences_path(), "rb") as f:
        all_users = f.read()
    directory = win(h.path("Chosen Folder"))
    record, release = h.path("setup-record.txt"), h.path("setup.release")
    run = interactive_start(h, directory, record, release)
    h.expect_status(run, 0)
    check(not run.boxes(), f"the interactive run showed a box: {run.describe()}")
    shown = run.of("dialog_shown")
    check(shown, f"the dialog was never shown: {run.describe()}")
    dialog = shown[0]
    check(dialog["title"] == h.texts.title(), f"dialog title {dialog['title']!r}")
    check(same_text(dialog["welcome"], h.texts.get(161, h.args.suite_name)),
          f"welcome text {dialog['welcome']!r}")
    default = h.default_directory()
    check(dialog["directory"].lower() == default.lower(),
          f"without preferences the dialog proposed {dialog['directory']!r}, not {default!r}")
    check(not dialog["progress_visible"], "the progress bar shows before Start")
    waiting = check_installer_started(h, run, record, directory)
    check(waiting["progress_visible"] and waiting["progress_max"] >= 1,
          f"no progress bar during the run: {waiting}")
    check(not waiting["start_enabled"] and not waiting["field_enabled"],
          f"Start or the directory field stayed enabled while setup.exe ran: {waiting}")
    check_files(h.path("Chosen Folder"), h.files)
    h.check_saved_directory(directory + "\\")
    with open(h.all_users_preferences_path(), "rb") as f:
        check(f.read() == all_users, "the all-users preferences file was written")

    # The next run proposes the folder used last.
    again = h.launch(h.installer(), [], driver_options=["--exit"])
    h.expect_status(again, 0)
    shown = again.of("dialog_shown")
    check(shown and shown[0]["directory"] == directory + "\\",
          f"the next run did not propose {directory}\\: {again.describe()}")


def reuse(h):
    """A folder holding a matching orvsuite.xml and another setup.exe: the payload's one
    replaces it before anything starts, and the missing files are extracted."""
    h.build_installer()
    folder = h.path("Kept")
    os.makedirs(os.path.join(folder, "Installer"))
    # Still a program that runs, with bytes added: if it ran, its record would say so.
    planted = h.files["Installer/setup.exe"] + b"planted" * 100
    for name, data in {"Installer/setup.exe": planted,
                       "Installer/orvsuite.xml": h.files["Installer/orvsuite.xml"]}.items():
        with open(os.path.join(folder, *name.split("/")), "wb") as f:
            f.write(data)
    record, release = h.path("setup-record.txt"), h.path("setup.release")
    run = interactive_start(h, win(folder), record, release)
    h.expect_status(run, 0)
    check(not run.boxes(), f"the reuse run showed a box: {run.describe()}")
    waiting = check_installer_started(h, run, record, win(folder))
    check(waiting["progress_max"] >= 1, f"no progress while the folder was brought up to date: "
                                        f"{waiting}")
    check_files(folder, h.files)
    h.check_saved_directory(win(folder) + "\\")


def file_times(root):
    times = {}
    for base, _, names in os.walk(root):
        for name in names:
            path = os.path.join(base, name)
            times[os.path.relpath(path, root).replace(os.sep, "/")] = os.stat(path).st_mtime_ns
    return times


def age_files(root):
    old = time.time() - 3600
    for name in file_times(root):
        os.utime(os.path.join(root, *name.split("/")), (old, old))
    return file_times(root)


def reuse_rewrites_only_what_differs(h):
    installer = h.build_installer()
    directory = h.path("downloads", "Suite")
    arguments = ["/extractOnly", win(directory), "/q"]
    h.expect_status(h.launch(installer, arguments), 0)
    check_files(directory, h.files)

    # All files match: the run writes nothing.
    before = age_files(directory)
    h.expect_status(h.launch(installer, arguments), 0)
    check(file_times(directory) == before, "files were written although all of them matched")

    # One file cut short: that one alone is written again.
    truncated = "Installer/data/table.csv"
    with open(os.path.join(directory, *truncated.split("/")), "r+b") as f:
        f.truncate(100)
    before = age_files(directory)
    run = h.launch(installer, arguments)
    h.expect_status(run, 0)
    check(not run.boxes(), f"the run showed a box: {run.describe()}")
    check_files(directory, h.files)
    after = file_times(directory)
    changed = sorted(n for n in after if after[n] != before.get(n))
    check(changed == [truncated], f"files written again: {changed}, expected only {truncated}")


def blank_field(h):
    h.build_installer()
    run = h.launch(h.installer(), [], driver_options=["--dir", "   ", "--exit-after-box"])
    h.expect_status(run, 0)
    h.expect_box(run, h.texts.get(141, ""), h.texts.get(140), icon=False)
    check(not os.path.exists(h.path("Installer")),
          "a blank folder field extracted into the current folder")


def extract_blank_directory(h):
    installer = h.build_installer()
    run = h.launch(installer, ["/extractOnly", "  "])
    h.expect_status(run, 1)
    h.expect_box(run, h.texts.get(141, ""), h.texts.get(140), icon=False)
    check(not run.dialog_visible(), "the extract-only dialog became visible")
    check(not os.path.exists(h.path("Installer")),
          "a blank extraction folder extracted into the current folder")


def default_button_message(h):
    """DM_SETDEFID, which anybody may send to a dialog, starts nothing."""
    h.build_installer()
    record = h.path("setup-record.txt")
    run = h.launch(h.installer(), [], driver_options=["--set-def-id", "--exit"],
                   env_extra={"E2E_SETUP_RECORD": win(record)})
    h.expect_status(run, 0)
    check(run.of("sent"), f"the driver sent no DM_SETDEFID: {run.describe()}")
    check(not run.boxes() and not run.of("progress"),
          f"DM_SETDEFID started something: {run.describe()}")
    check(not os.path.exists(record), "DM_SETDEFID started setup.exe")


def swapped_launcher_file(h):
    """The launcher's file renamed and replaced by another installer while the dialog is
    open: what Start extracts is still the payload of the launcher that runs."""
    installer = h.build_installer()
    other_files = dict(h.files, **{"Installer/readme.txt": b"Somebody else's payload.\r\n"})
    archive = h.path("other.zip")
    write_payload(archive, other_files)
    other = h.path(f"Other_{h.tag}.exe")
    shutil.copyfile(h.args.launcher, other)
    run = h.launch(h.launcher_copy("Builder"), ["/loadZip", win(archive), "/targetExe", win(other)])
    h.expect_status(run, 0)

    directory = h.path("Target")
    go, driver_log = h.path("go"), h.path("driver.log")
    swapped = []

    def swap():
        deadline = time.monotonic() + 60
        while time.monotonic() < deadline:
            if os.path.exists(driver_log):
                with open(driver_log, "rb") as f:
                    if b'"dialog_shown"' in f.read():
                        os.rename(installer, installer + ".old")
                        shutil.copyfile(other, installer)
                        swapped.append(True)
                        break
            time.sleep(0.05)
        open(go, "w").close()

    if os.path.exists(driver_log):
        os.remove(driver_log)
    swapper = threading.Thread(target=swap)
    swapper.start()
    record, release = h.path("setup-record.txt"), h.path("setup.release")
    try:
        run = h.launch(installer, [], driver_options=["--dir", win(directory), "--go", win(go),
                                                      "--hold", win(record), win(release)],
                       env_extra={"E2E_SETUP_RECORD": win(record),
                                  "E2E_SETUP_RELEASE": win(release)})
    finally:
        swapper.join()
    check(swapped, f"the launcher's file was never swapped: {run.describe()}")
    h.expect_status(run, 0)
    check(not run.boxes(), f"the run showed a box: {run.describe()}")
    check_files(directory, h.files)


def files_match(root, files):
    for name, data in files.items():
        path = os.path.join(root, *name.split("/"))
        try:
            with open(path, "rb") as f:
                if f.read() != data:
                    return False
        except OSError:
            return False
    return True


def setup_changed_before_start(unrepairable):
    """setup.exe changed after the extraction, before it starts: the launcher extracts it
    once more and starts the payload's own; when that cannot be done, box 150, status 1.

    A file where the preferences folder belongs keeps the launcher busy for half a
    minute between the two (it retries creating the folder), in which the case changes
    setup.exe."""
    def case(h):
        h.build_installer()
        preferences_folder = os.path.join(h.local_appdata(), "Orvandis")
        kept = preferences_folder + ".kept"
        if os.path.exists(preferences_folder):
            os.rename(preferences_folder, kept)
        with open(preferences_folder, "wb") as f:
            f.write(b"not a folder")
        directory = h.path("Target")
        setup = os.path.join(directory, "Installer", "setup.exe")
        changed = []

        def change():
            deadline = time.monotonic() + 60
            while not files_match(directory, h.files):
                if time.monotonic() > deadline:
                    return
                time.sleep(0.1)
            time.sleep(1)
            os.remove(setup)
            if unrepairable:
                os.makedirs(os.path.join(setup, "inner"))
            else:
                with open(setup, "wb") as f:
                    f.write(h.files["Installer/setup.exe"] + b"planted" * 100)
            changed.append(True)

        changer = threading.Thread(target=change)
        changer.start()
        record, release = h.path("setup-record.txt"), h.path("setup.release")
        try:
            run = interactive_start(h, win(directory), record, release)
        finally:
            changer.join()
            os.remove(preferences_folder)
            if os.path.exists(kept):
                os.rename(kept, preferences_folder)
        check(changed, f"setup.exe was never changed: {run.describe()}")
        if unrepairable:
            h.expect_status(run, 1)
            h.expect_box(run, h.texts.get(150), h.texts.get(149), icon=True)
            check(not os.path.exists(record), "a setup.exe started")
        else:
            h.expect_status(run, 0)
            check(not run.boxes(), f"the run showed a box: {run.describe()}")
            check_installer_started(h, run, record, win(directory))
            check_files(directory, h.files)
    return case


def unc_remembered(h):
    h.build_installer()
    h.write_preferences(h.preferences_path(),
                        f"[{h.args.suite_guid}]\nFullPath=\\\\server\\share\\x\\\n")
    run = h.launch(h.installer(), [], driver_options=["--exit"])
    h.expect_status(run, 0)
    shown = run.of("dialog_shown")
    check(shown, f"the dialog was never shown: {run.describe()}")
    default = h.default_directory()
    check(shown[0]["directory"].lower() == default.lower(),
          f"with a network folder remembered the dialog proposed {shown[0]['directory']!r}, "
          f"not the default {default!r}")
    os.remove(h.preferences_path())


CASES = {
    "usage.question_mark": (usage_case(["/?"]), False),
    "usage.h": (usage_case(["/h"]), False),
    "usage.stray_value": (usage_case(["stray"]), False),
    "builder.makes_installer": (builder_makes_installer, True),
    "builder.missing_target": (builder_missing_target, False),
    "builder.refuses_unusable_payloads": (builder_refuses_unusable_payloads, False),
    "extract.quiet": (extract_quiet, True),
    "extract.success_box": (extract_success_box, True),
    "extract.relative_directory": (extract_relative_directory, True),
    "extract.budget_exact": (extract_budget_exact, True),
    "extract.budget_over_by_one": (extract_budget_over_by_one, False),
    "extract.text_too_long": (extract_text_too_long, False),
    "extract.other_suite": (extract_other_suite, False),
    "extract.corrupt_entry": (extract_corrupt_entry, False),
    "interactive.start": (interactive, True),
    "interactive.reuse": (reuse, True),
    "interactive.blank_field": (blank_field, False),
    "interactive.default_button_message": (default_button_message, True),
    "interactive.unc_remembered": (unc_remembered, True),
    "interactive.swapped_launcher_file": (swapped_launcher_file, True),
    "launch.setup_replaced_before_start": (setup_changed_before_start(False), True),
    "launch.setup_unrepairable_before_start": (setup_changed_before_start(True), True),
    "extract.blank_directory": (extract_blank_directory, False),
    "reuse.rewrites_only_what_differs": (reuse_rewrites_only_what_differs, True),
}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--list", action="store_true")
    parser.add_argument("--case")
    parser.add_argument("--launcher")
    parser.add_argument("--driver")
    parser.add_argument("--setup")
    parser.add_argument("--wine-run")
    parser.add_argument("--prefix")
    parser.add_argument("--work")
    parser.add_argument("--display-file")
    parser.add_argument("--strings", default=os.path.join(HERE, "..", "..", "resources",
                                                          "strings", "strings.json"))
    parser.add_argument("--suite-name")
    parser.add_argument("--suite-folder")
    parser.add_argument("--suite-guid")
    parser.add_argument("--timeout", type=int, default=90)
    args = parser.parse_args()
    if args.list:
        for name, (_, preferences) in CASES.items():
            print(name + (" preferences" if preferences else ""))
        return 0
    if not os.path.isfile(args.launcher):
        print(f"no launcher at {args.launcher}: skipped")
        return SKIP
    case, _ = CASES[args.case]
    harness = Harness(args, args.case)
    try:
        case(harness)
    except Failure as failure:
        print(f"FAIL {args.case}: {failure}")
        return 1
    except Skipped as reason:
        print(f"skipped: {reason}")
        return SKIP
    finally:
        harness.kill_case_processes()
    print(f"PASS {args.case}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
