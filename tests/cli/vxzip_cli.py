#!/usr/bin/env python3
"""vxzip as a command-line tool: a table of command lines with the status, stdout
and stderr each must give, on small archives made here; then what extraction
keeps (execute permissions, folder times). Usage: vxzip_cli.py VXZIP"""
import os
import re
import shutil
import stat
import struct
import subprocess
import sys
import tempfile
import zipfile

VXZIP = os.path.abspath(sys.argv[1])
MORE = "Try 'vxzip help' for more information.\n"
DATE = (2021, 6, 1, 12, 0, 0)


def unix_entry(name, mode):
    info = zipfile.ZipInfo(name, date_time=DATE)
    info.create_system = 3
    info.external_attr = mode << 16 | (0x10 if name.endswith("/") else 0)
    if not name.endswith("/"):
        info.compress_type = zipfile.ZIP_DEFLATED
    return info


def make_fixtures(work):
    with zipfile.ZipFile(os.path.join(work, "good.zip"), "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr(unix_entry("bin/", 0o40755), b"")
        z.writestr(unix_entry("bin/tool", 0o100755), b"#!/bin/sh\necho tool\n")
        z.writestr(unix_entry("bin/notes.txt", 0o100644), b"notes " * 100)
    # The same archive with the stored CRC-32 of "bin/tool" wrong.
    data = bytearray(open(os.path.join(work, "good.zip"), "rb").read())
    central = data.find(b"PK\x01\x02", data.find(b"PK\x01\x02") + 4)
    data[central + 16] ^= 0xFF
    open(os.path.join(work, "badcrc.zip"), "wb").write(data)
    with zipfile.ZipFile(os.path.join(work, "many.zip"), "w") as z:
        for i in range(1001):
            z.writestr(f"f{i}", b"")
    open(os.path.join(work, "empty.zip"), "wb").close()
    with open(os.path.join(work, "notzip.txt"), "w") as f:
        f.write("just text\n")
    with open(os.path.join(work, "nores.exe"), "wb") as f:
        f.write(executable_without_resources())
    os.makedirs(os.path.join(work, "folder"))


def executable_without_resources():
    """A PE32 image with one section and no resource directory."""
    image = bytearray(0x400)
    image[0:2] = b"MZ"
    struct.pack_into("<I", image, 60, 0x40)
    image[0x40:0x44] = b"PE\0\0"
    struct.pack_into("<HHIIIHH", image, 0x44, 0x14C, 1, 0, 0, 0, 224, 0x102)
    opt = 0x58
    struct.pack_into("<H", image, opt, 0x10B)
    struct.pack_into("<II", image, opt + 32, 0x1000, 0x200)  # section and file alignment
    struct.pack_into("<II", image, opt + 56, 0x2000, 0x200)  # image and header sizes
    struct.pack_into("<I", image, opt + 92, 16)  # data directories, all empty
    section = opt + 224
    image[section:section + 8] = b".text\0\0\0"
    struct.pack_into("<IIII", image, section + 8, 0x200, 0x1000, 0x200, 0x200)
    return bytes(image)


LISTING = (
    "Method   Compressed         Size CRC-32   D Name\n"
    "------ ------------ ------------ -------- - ----\n"
    r"     0            0            0 00000000 D bin/\n"
    r"     8 +\d+           20 [0-9A-F]{8} - bin/tool\n"
    r"     8 +\d+          600 [0-9A-F]{8} - bin/notes.txt\n"
    "------ ------------ ------------ -------- - ----\n"
    r" +\d+          620            3 entries: 2 files, 1 folder\n")

# (arguments, status, stdout, stderr): a str must match exactly, a re.Pattern must
# match the whole output.
CASES = [
    # Usage mistakes: the problem in one line, then the pointer to the help.
    ([], 2, "", "vxzip: no command given\n" + MORE),
    (["lst", "good.zip"], 2, "", "vxzip: unknown command 'lst'\n" + MORE),
    (["list"], 2, "", "vxzip: list: missing ARCHIVE\n" + MORE),
    (["extract", "good.zip"], 2, "", "vxzip: extract: missing DIR\n" + MORE),
    (["list", "good.zip", "other.zip"], 2, "", "vxzip: list: unexpected operand 'other.zip'\n" + MORE),
    (["list", "--frob", "good.zip"], 2, "", "vxzip: unknown option '--frob'\n" + MORE),
    (["list", "good.zip", "--password"], 2, "", "vxzip: option '--password' needs a value\n" + MORE),
    (["--oem-codepage", "0", "list", "good.zip"], 2, "",
     "vxzip: --oem-codepage: '0' is not a code page number (1 to 65535)\n" + MORE),
    (["extract", "good.zip", ""], 2, "", "vxzip: extract: DIR is empty\n" + MORE),
    (["-j", "0", "test", "good.zip"], 2, "",
     "vxzip: --jobs: '0' is not a number of threads (1 to 64)\n" + MORE),
    (["test", "good.zip", "--jobs=many"], 2, "",
     "vxzip: --jobs: 'many' is not a number of threads (1 to 64)\n" + MORE),
    (["test", "good.zip", "-j"], 2, "", "vxzip: option '--jobs' needs a value\n" + MORE),
    (["help", "lst"], 2, "", "vxzip: help: unknown command 'lst'\n" + MORE),
    # Help and version go to stdout and succeed.
    (["--help"], 0, re.compile(r"usage: vxzip COMMAND .*extract ARCHIVE DIR.*exit status.*", re.S), ""),
    (["list", "-h"], 0, re.compile(r"usage: vxzip list ARCHIVE .*", re.S), ""),
    (["help", "extract"], 0, re.compile(r"usage: vxzip extract ARCHIVE DIR .*", re.S), ""),
    (["--version"], 0, re.compile(r"vxzip \d+\.\d+\.\d+\n"), ""),
    # Failures: one line naming the file as given and the cause.
    (["list", "missing.zip"], 1, "", "vxzip: missing.zip: No such file or directory\n"),
    (["test", "notzip.txt"], 1, "", "vxzip: notzip.txt: not a ZIP archive\n"),
    (["extract", "empty.zip", "out"], 1, "", "vxzip: empty.zip: not a ZIP archive (the file is empty)\n"),
    (["list", "folder"], 1, "", "vxzip: folder: Is a directory\n"),
    (["list", "nores.exe"], 1, "", "vxzip: nores.exe: the executable has no resource section\n"),
    (["embed", "nores.exe", "missing.zip"], 1, "", "vxzip: missing.zip: No such file or directory\n"),
    (["embed", "nores.exe", "good.zip"], 1, "", "vxzip: nores.exe: the executable has no resource section\n"),
    (["log", "notzip.txt"], 1, re.compile(r"<VexmarLog>.*</VexmarLog>\s*", re.S),
     "vxzip: notzip.txt: not a ZIP archive\n"),
    (["list", "--", "-odd.zip"], 1, "", "vxzip: -odd.zip: No such file or directory\n"),
    # The engine's log only when asked for, options before or after the command.
    (["list", "missing.zip", "--log"], 1, re.compile(r"<VexmarLog>.*</VexmarLog>\s*", re.S),
     "vxzip: missing.zip: No such file or directory\n"),
    # Listing and testing say what they found.
    (["list", "good.zip"], 0, re.compile(LISTING), ""),
    (["--oem-codepage", "850", "list", "good.zip"], 0, re.compile(LISTING), ""),
    (["test", "good.zip"], 0, "3 entries OK\n", ""),
    (["test", "many.zip"], 0, "1,001 entries OK\n", ""),
    (["test", "badcrc.zip"], 1, "",
     "vxzip: badcrc.zip: bin/tool: CRC-32 mismatch: the data is damaged\n"
     "vxzip: badcrc.zip: 2 entries OK, 1 failed\n"),
    # Any number of workers finds the same.
    (["-j1", "test", "badcrc.zip"], 1, "",
     "vxzip: badcrc.zip: bin/tool: CRC-32 mismatch: the data is damaged\n"
     "vxzip: badcrc.zip: 2 entries OK, 1 failed\n"),
    (["test", "many.zip", "-j", "3"], 0, "1,001 entries OK\n", ""),
    (["--jobs", "4", "extract", "badcrc.zip", "bad4"], 1, "",
     "vxzip: badcrc.zip: bin/tool: CRC-32 mismatch: the data is damaged\n"
     "vxzip: badcrc.zip: 2 entries written, 1 failed\n"),
    # A failed extraction names each failure, writes the rest and sums up.
    (["extract", "badcrc.zip", "bad"], 1, "",
     "vxzip: badcrc.zip: bin/tool: CRC-32 mismatch: the data is damaged\n"
     "vxzip: badcrc.zip: 2 entries written, 1 failed\n"),
    (["extract", "good.zip", "notzip.txt/below"], 1, "",
     "vxzip: notzip.txt/below/bin: cannot create its folder: Not a directory\n"
     "vxzip: notzip.txt/below/bin/tool: cannot create its folder: Not a directory\n"
     "vxzip: notzip.txt/below/bin/notes.txt: cannot create its folder: Not a directory\n"
     "vxzip: good.zip: 0 entries written, 3 failed\n"),
    (["extract", "good.zip", "out"], 0, "", ""),
]


def check_full_output(work):
    """Output that cannot be written is a failure, not a success."""
    if not os.path.exists("/dev/full"):
        return []
    with open("/dev/full", "w") as full:
        result = subprocess.run([VXZIP, "list", "good.zip"], cwd=work, stdout=full,
                                stderr=subprocess.PIPE)
    if result.returncode != 1 or b"cannot write to the standard output" not in result.stderr:
        return [f"list into a full disk: status {result.returncode}, stderr {result.stderr!r}"]
    return []


def matches(expected, actual):
    if isinstance(expected, re.Pattern):
        return expected.fullmatch(actual) is not None
    return expected == actual


def check_extracted(work):
    """What `extract good.zip out` left: execute permission kept, folder time stored."""
    problems = []
    out = os.path.join(work, "out", "bin")
    umask = os.umask(0)
    os.umask(umask)
    tool = stat.S_IMODE(os.stat(os.path.join(out, "tool")).st_mode)
    notes = stat.S_IMODE(os.stat(os.path.join(out, "notes.txt")).st_mode)
    if tool != 0o755 & ~umask:
        problems.append(f"bin/tool has mode {tool:o}, not {0o755 & ~umask:o}")
    if notes != 0o644 & ~umask:
        problems.append(f"bin/notes.txt has mode {notes:o}, not {0o644 & ~umask:o}")
    folder_time = os.stat(out).st_mtime
    file_time = os.stat(os.path.join(out, "tool")).st_mtime
    if folder_time != file_time:
        problems.append(f"bin/ has time {folder_time}, its stored time is {file_time}")
    if not os.path.isfile(os.path.join(work, "bad", "bin", "notes.txt")):
        problems.append("the failed extraction did not write bin/notes.txt")
    return problems


def main():
    failures = 0
    checks = len(CASES)
    with tempfile.TemporaryDirectory(prefix="vxzip-cli-") as work:
        make_fixtures(work)
        for args, status, stdout, stderr in CASES:
            result = subprocess.run([VXZIP, *args], cwd=work, capture_output=True)
            out = result.stdout.decode("utf-8", "replace")
            err = result.stderr.decode("utf-8", "replace")
            if result.returncode != status or not matches(stdout, out) or not matches(stderr, err):
                failures += 1
                print(f"FAIL vxzip {' '.join(args)}: status {result.returncode} (want {status})\n"
                      f"  stdout: {out!r}\n  stderr: {err!r}")
        problems = check_extracted(work) + check_full_output(work)
        checks += 1
        if problems:
            failures += 1
            print("FAIL\n  " + "\n  ".join(problems))
    print(f"{checks - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
