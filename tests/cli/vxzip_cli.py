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
    # One entry per kind of method line: named ones, and one the engine has no name for.
    with zipfile.ZipFile(os.path.join(work, "methods.zip"), "w") as z:
        z.writestr("stored", b"s" * 10, zipfile.ZIP_STORED)
        z.writestr("bzip2", b"b" * 10, zipfile.ZIP_BZIP2)
        z.writestr("lzma", b"l" * 10, zipfile.ZIP_LZMA)
        z.writestr("other", b"o" * 10, zipfile.ZIP_STORED)
    data = bytearray(open(os.path.join(work, "methods.zip"), "rb").read())
    local = data.rfind(b"PK\x03\x04")
    central = data.rfind(b"PK\x01\x02")
    data[local + 8:local + 10] = data[central + 10:central + 12] = (93).to_bytes(2, "little")
    open(os.path.join(work, "methods.zip"), "wb").write(data)
    open(os.path.join(work, "empty.zip"), "wb").close()
    with open(os.path.join(work, "notzip.txt"), "w") as f:
        f.write("just text\n")
    with open(os.path.join(work, "nores.exe"), "wb") as f:
        f.write(executable_without_resources())
    os.makedirs(os.path.join(work, "folder"))
    make_launcher_fixtures(work)


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


GUID = "{5B0E3C1A-7D4F-4E62-9A18-C3F2D6B40E97}"
OTHER_GUID = "{0D1E2F30-4A5B-4C6D-8E7F-A0B1C2D3E4F5}"
SUITE_STRINGS = {133: "Acme Tools", 134: "Acme\\Tools", 136: GUID, 154: "setup.exe",
                 155: "orvsuite.xml", 163: "1031,1033"}
VERSION = {"CompanyName": "Acme Corp", "ProductName": "Acme Tools", "FileVersion": "1.2.3.4"}


def resource_section(tree, rva):
    """A resource section at `rva`: tree maps type -> name -> language -> data, each
    name an id (int) or a string."""
    def key(item):
        return (isinstance(item[0], int), item[0])
    types = sorted(tree.items(), key=key)
    dirs = [types] + [sorted(names.items(), key=key) for _, names in types]
    dirs += [sorted(langs.items()) for _, names in types for _, langs in sorted(names.items(), key=key)]
    offset = sum(16 + 8 * len(d) for d in dirs)
    leaves = [data for d in dirs[1 + len(types):] for _, data in d]
    entries_at = offset
    offset += 16 * len(leaves)
    names = [n for _, ns in types for n, _ in sorted(ns.items(), key=key) if isinstance(n, str)]
    name_at = {}
    for n in names:
        name_at[n] = offset
        offset += (2 + 2 * len(n) + 3) & ~3
    data_at = []
    for data in leaves:
        data_at.append(offset)
        offset += (len(data) + 3) & ~3
    out = bytearray(offset)
    at, next_dir, leaf = 0, 16 + 8 * len(types), 0
    for d in dirs:
        named = [c for c in d if isinstance(c[0], str)]
        struct.pack_into("<IIHHHH", out, at, 0, 0, 0, 0, len(named), len(d) - len(named))
        for i, (cid, child) in enumerate(d):
            ident = name_at[cid] | 0x80000000 if isinstance(cid, str) else cid
            if isinstance(child, bytes):
                target = entries_at + 16 * leaf
                leaf += 1
            else:
                target = next_dir | 0x80000000
                next_dir += 16 + 8 * len(child)
            struct.pack_into("<II", out, at + 16 + 8 * i, ident, target)
        at += 16 + 8 * len(d)
    for i, data in enumerate(leaves):
        struct.pack_into("<IIII", out, entries_at + 16 * i, rva + data_at[i], len(data), 0, 0)
        out[data_at[i]:data_at[i] + len(data)] = data
    for n, where in name_at.items():
        struct.pack_into("<H", out, where, len(n))
        out[where + 2:where + 2 + 2 * len(n)] = n.encode("utf-16-le")
    return bytes(out)


def string_blocks(strings):
    """String table blocks (id -> data) holding `strings` (id -> text)."""
    blocks = {}
    for block in sorted({i // 16 + 1 for i in strings}):
        data = b""
        for i in range(16 * (block - 1), 16 * block):
            text = strings.get(i, "")
            data += struct.pack("<H", len(text)) + text.encode("utf-16-le")
        blocks[block] = data
    return blocks


def version_block(key, value=b"", children=(), text=False):
    body = (key + "\0").encode("utf-16-le")
    body += b"\0" * ((-(6 + len(body))) % 4) + value
    for child in children:
        body += b"\0" * ((-(6 + len(body))) % 4) + child
    return struct.pack("<HHH", 6 + len(body), len(value) // 2 if text else len(value),
                       1 if text else 0) + body


def version_resource(texts):
    fixed = struct.pack("<13I", 0xFEEF04BD, 0x10000, 0x10002, 0x30004, 0x10002, 0x30004,
                        0x3F, 0, 4, 1, 0, 0, 0)
    strings = [version_block(k, (v + "\0").encode("utf-16-le"), text=True) for k, v in texts.items()]
    table = version_block("040904B0", children=strings)
    return version_block("VS_VERSION_INFO", fixed, [version_block("StringFileInfo", children=[table])])


def launcher_executable(strings, version=None, payload=None, signed=False):
    """A PE32 image whose resource section carries a launcher's string tables and,
    when given, a version resource and a payload."""
    tree = {6: string_blocks(strings)}
    tree[6] = {block: {1033: data} for block, data in tree[6].items()}
    if version:
        tree[16] = {1: {1033: version_resource(version)}}
    if payload:
        tree[10] = {"IDR_VEXMAR1": {1: payload}}
    rsrc = resource_section(tree, 0x2000)
    raw = (len(rsrc) + 0x1FF) & ~0x1FF
    image = bytearray(executable_without_resources())
    opt = 0x58
    struct.pack_into("<H", image, 0x46, 2)
    struct.pack_into("<I", image, opt + 56, 0x2000 + ((len(rsrc) + 0xFFF) & ~0xFFF))
    struct.pack_into("<II", image, opt + 96 + 16, 0x2000, len(rsrc))
    section = opt + 224 + 40
    image[section:section + 8] = b".rsrc\0\0\0"
    struct.pack_into("<IIII", image, section + 8, len(rsrc), 0x2000, raw, 0x400)
    image += rsrc + b"\0" * (raw - len(rsrc))
    if signed:
        struct.pack_into("<II", image, opt + 96 + 32, len(image), 16)
        image += struct.pack("<IHH", 16, 0x200, 2) + b"\0" * 8
    return bytes(image)


def payload_zip(files):
    from io import BytesIO
    buffer = BytesIO()
    with zipfile.ZipFile(buffer, "w", zipfile.ZIP_DEFLATED) as z:
        for name, data in files.items():
            z.writestr(zipfile.ZipInfo(name, date_time=DATE), data)
    return buffer.getvalue()


def suite_file(guid):
    return f'<?xml version="1.0"?>\n<suite>\n  <SuiteId PackageGuid="{guid}" />\n</suite>\n'.encode()


# Payloads a launcher cannot use, and why vxzip embed refuses each.
REFUSED_PAYLOADS = [
    ("nosetup.zip", {"Installer/orvsuite.xml": suite_file(GUID)},
     "the payload has no Installer/setup.exe, which the installer starts"),
    ("setupfolder.zip", {"Installer/setup.exe/": b"", "Installer/orvsuite.xml": suite_file(GUID)},
     "the payload has no Installer/setup.exe, which the installer starts"),
    ("nosuite.zip", {"Installer/setup.exe": b"MZ"},
     "the payload has no Installer/orvsuite.xml naming the suite"),
    ("othersuite.zip", {"Installer/setup.exe": b"MZ", "Installer/orvsuite.xml": suite_file(OTHER_GUID)},
     f"Installer/orvsuite.xml names the suite {OTHER_GUID.lower()}, not the launcher's {GUID}"),
    ("nextline.zip", {"Installer/setup.exe": b"MZ",
                      "Installer/orvsuite.xml": f'<suiteid\n packageguid="{GUID}"/>'.encode()},
     'Installer/orvsuite.xml names no suite (no <suiteid packageguid="{...}"> on one line)'),
    ("malformed.zip", {"Installer/setup.exe": b"MZ", "Installer/orvsuite.xml": b"<suite><suiteid packageguid=\""},
     'Installer/orvsuite.xml names no suite (no <suiteid packageguid="{...}"> on one line)'),
    ("utf16.zip", {"Installer/setup.exe": b"MZ", "Installer/orvsuite.xml": suite_file(GUID).decode().encode("utf-16")},
     'Installer/orvsuite.xml names no suite (no <suiteid packageguid="{...}"> on one line)'),
]


def make_launcher_fixtures(work):
    def write(name, data):
        with open(os.path.join(work, name), "wb") as f:
            f.write(data)
    good = payload_zip({"Installer/setup.exe": b"MZ" + bytes(100),
                        "Installer/orvsuite.xml": suite_file(GUID.lower())})
    write("payload.zip", good)
    # Names and folders in any letter case and with backslashes, as Windows sees them.
    write("payload-case.zip", payload_zip({"installer\\SETUP.EXE": b"MZ",
                                           "INSTALLER/OrvSuite.xml": suite_file(GUID)}))
    write("launcher.exe", launcher_executable(SUITE_STRINGS, VERSION))
    write("installer.exe", launcher_executable(SUITE_STRINGS, VERSION))
    write("installer-case.exe", launcher_executable(SUITE_STRINGS))
    write("notlauncher.exe", launcher_executable({1: "probe"}))
    write("signed.exe", launcher_executable(SUITE_STRINGS, signed=True))
    write("mismatch.exe", launcher_executable(
        SUITE_STRINGS, payload=payload_zip({"Installer/setup.exe": b"MZ",
                                            "Installer/orvsuite.xml": suite_file(OTHER_GUID)})))
    write("nosetup.exe", launcher_executable(
        SUITE_STRINGS, payload=payload_zip({"Installer/orvsuite.xml": suite_file(GUID)})))
    for name, files, _ in REFUSED_PAYLOADS:
        write(name, payload_zip(files))


INFO_HEAD = ("format:           PE32 (32-bit)\n"
             "suite name:       Acme Tools\n"
             "suite folder:     Acme\\Tools\n"
             f"suite GUID:       {GUID}\n"
             "UI languages:     1031,1033\n")
INFO_VERSION = ("CompanyName:      Acme Corp\n"
                "ProductName:      Acme Tools\n"
                "FileVersion:      1.2.3.4\n")

LISTING = (
    "Method      Compressed         Size CRC-32   D Name\n"
    "--------- ------------ ------------ -------- - ----\n"
    r"store                0            0 00000000 D bin/\n"
    r"deflate   +\d+           20 [0-9A-F]{8} - bin/tool\n"
    r"deflate   +\d+          600 [0-9A-F]{8} - bin/notes.txt\n"
    "--------- ------------ ------------ -------- - ----\n"
    r" +\d+          620            3 entries: 2 files, 1 folder\n")

METHODS_LISTING = (
    "Method      Compressed         Size CRC-32   D Name\n"
    "--------- ------------ ------------ -------- - ----\n"
    r"store               10           10 [0-9A-F]{8} - stored\n"
    r"bzip2     +\d+           10 [0-9A-F]{8} - bzip2\n"
    r"lzma      +\d+           10 [0-9A-F]{8} - lzma\n"
    r"93                  10           10 [0-9A-F]{8} - other\n"
    "--------- ------------ ------------ -------- - ----\n"
    r" +\d+           40            4 entries: 4 files, 0 folders\n")

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
    (["help", "info"], 0, re.compile(r"usage: vxzip info EXE .*PE32 or PE32\+.*", re.S), ""),
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
    (["list", "methods.zip"], 0, re.compile(METHODS_LISTING), ""),
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
    # info: what a launcher is, before and after it carries a payload.
    (["info", "launcher.exe"], 0, INFO_HEAD + "signed:           no\n" + INFO_VERSION +
     "payload:          none (no IDR_VEXMAR1 resource)\n", ""),
    (["embed", "installer.exe", "payload.zip"], 0, "", ""),
    (["info", "installer.exe"], 0, re.compile(re.escape(INFO_HEAD + "signed:           no\n" + INFO_VERSION) +
     r"payload:          2 entries, [\d,]+ bytes \(208 bytes unpacked\)\n"
     "setup program:    Installer/setup.exe present\n"
     f"suite file:       Installer/orvsuite.xml names {re.escape(GUID.lower())} \\(this launcher's suite\\)\n"), ""),
    (["embed", "installer-case.exe", "payload-case.zip"], 0, "", ""),
    (["info", "signed.exe"], 0, re.compile(r".*\nsigned:           yes \(a certificate table is present\)\n.*", re.S), ""),
    (["info", "mismatch.exe"], 0, re.compile(r".*suite file:       Installer/orvsuite.xml names "
     + re.escape(OTHER_GUID.lower()) + r" \(another suite\)\n", re.S),
     f"vxzip: mismatch.exe: warning: Installer/orvsuite.xml names the suite {OTHER_GUID.lower()}, "
     f"not the launcher's {GUID}: the installer would refuse its own folder when run again\n"),
    (["info", "nosetup.exe"], 0, re.compile(r".*setup program:    Installer/setup.exe missing\n.*", re.S),
     "vxzip: nosetup.exe: warning: the payload has no Installer/setup.exe, which the installer starts\n"),
    (["info", "notlauncher.exe"], 0, re.compile(r".*suite GUID:       \(none\)\n.*", re.S),
     "vxzip: notlauncher.exe: warning: not a launcher: it names no suite GUID (string 136)\n"),
    (["info", "missing.exe"], 1, "", "vxzip: missing.exe: No such file or directory\n"),
    (["info", "nores.exe"], 1, "", "vxzip: nores.exe: the executable has no resource section\n"),
    (["embed", "notlauncher.exe", "payload.zip"], 1, "",
     "vxzip: notlauncher.exe: not a launcher: it names no suite GUID (string 136)\n"),
    # Another resource than the launcher's payload is the engine's: not checked.
    (["embed", "--resource", "DATA", "notlauncher.exe", "nosuite.zip"], 0, "", ""),
]


def check_refused_payloads(work):
    """Each payload a launcher cannot use is refused, the launcher left byte for byte."""
    problems = []
    original = open(os.path.join(work, "launcher.exe"), "rb").read()
    for name, _, cause in REFUSED_PAYLOADS:
        target = os.path.join(work, "target.exe")
        shutil.copyfile(os.path.join(work, "launcher.exe"), target)
        result = subprocess.run([VXZIP, "embed", "target.exe", name], cwd=work, capture_output=True)
        err = result.stderr.decode("utf-8", "replace")
        if result.returncode != 1 or err != f"vxzip: {name}: {cause}\n":
            problems.append(f"embed {name}: status {result.returncode}, stderr {err!r}")
        if open(target, "rb").read() != original:
            problems.append(f"embed {name} changed the executable")
    return problems


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
        problems = check_extracted(work) + check_full_output(work) + check_refused_payloads(work)
        checks += 1
        if problems:
            failures += 1
            print("FAIL\n  " + "\n  ".join(problems))
    print(f"{checks - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
