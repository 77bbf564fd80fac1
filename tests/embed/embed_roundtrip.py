#!/usr/bin/env python3
"""vxzip embed, then list, test and extract on the executable: the ZIP's files
come back byte for byte, for a small payload in PE32 and PE32+ programs and for a
100 MB one. Usage: embed_roundtrip.py VXZIP FIXTURE_DIR (exit 77: no fixtures)."""
import filecmp
import os
import shutil
import subprocess
import sys
import tempfile
import zipfile

VXZIP, FIXTURES = sys.argv[1], sys.argv[2]

# The suite GUID the MinGW-built programs carry as string 136.
PROBE_GUID = "{6F1D2C3B-0A49-4E58-8B67-9C0D1E2F3A4B}"


def vxzip(*args):
    result = subprocess.run([VXZIP, *args], capture_output=True)
    if result.returncode != 0:
        sys.exit(f"vxzip {' '.join(args)} failed:\n{result.stderr.decode()[-3000:]}")
    return result.stdout.decode()


def roundtrip(work, program, files, method):
    src = os.path.join(work, "src")
    shutil.rmtree(src, ignore_errors=True)
    for name, data in files.items():
        path = os.path.join(src, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
    payload = os.path.join(work, "payload.zip")
    with zipfile.ZipFile(payload, "w", method) as z:
        for name in files:
            z.write(os.path.join(src, name), name)
    exe = os.path.join(work, "launcher.exe")
    shutil.copyfile(program, exe)
    vxzip("embed", exe, payload)
    listing = vxzip("list", exe)
    if f"  {len(files)} entries: {len(files)} files, 0 folders" not in listing:
        sys.exit(f"listing of {program}:\n{listing}")
    vxzip("test", exe)
    out = os.path.join(work, "out")
    shutil.rmtree(out, ignore_errors=True)
    vxzip("extract", exe, out)
    for name in files:
        if not filecmp.cmp(os.path.join(src, name), os.path.join(out, name), shallow=False):
            sys.exit(f"{name} differs after embedding into {program}")
    print(f"{os.path.basename(program)}: {len(files)} files, "
          f"{os.path.getsize(payload) / 2**20:.1f} MB payload: ok")


def main():
    programs = [os.path.join(FIXTURES, f"probe-plain-{arch}.exe") for arch in ("pe32", "pe32plus")]
    programs = [p for p in programs if os.path.exists(p)]
    if not programs:
        print("no MinGW-built programs to embed into")
        return 77
    small = {"Installer/setup.exe": b"MZ" + bytes(range(256)) * 50,
             "Installer/orvsuite.xml": f'<suiteid packageguid="{PROBE_GUID}"/>\n'.encode()}
    with tempfile.TemporaryDirectory() as work:
        for program in programs:
            roundtrip(work, program, small, zipfile.ZIP_DEFLATED)
        big = {"Installer/data.bin": os.urandom(100 * 1024 * 1024), **small}
        roundtrip(work, programs[-1], big, zipfile.ZIP_STORED)
    return 0


sys.exit(main())
