#!/usr/bin/env python3
"""Embedding a 100 MB payload into an executable: `vxzip embed` against `cp` of
the same bytes. The executable is a small PE32 image made here; each run starts
from a fresh copy of it. Reports the median wall times and their ratio (the
budget is 2)."""
import os
import shutil
import statistics
import struct
import subprocess
import sys
import tempfile
import time
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
VXZIP = os.path.join(HERE, "vxzip")
RUNS = 7
BUDGET = 2.0


# The suite GUID the image names as string 136, as a launcher does.
GUID = "{3C2B1A09-8F7E-4D6C-9B5A-0F1E2D3C4B5A}"


def small_pe32():
    """Headers, .text, .rsrc with one string table block (string 136, the suite
    GUID), .reloc, 0x800 bytes."""
    b = bytearray(0x800)
    b[0:2] = b"MZ"
    struct.pack_into("<I", b, 60, 0x40)
    b[0x40:0x44] = b"PE\0\0"
    struct.pack_into("<HHIIIHH", b, 0x44, 0x14C, 3, 0, 0, 0, 224, 0x102)
    opt = 0x58
    struct.pack_into("<H", b, opt, 0x10B)
    struct.pack_into("<II", b, opt + 32, 0x1000, 0x200)
    struct.pack_into("<II", b, opt + 56, 0x4000, 0x200)
    struct.pack_into("<I", b, opt + 92, 16)
    struct.pack_into("<II", b, opt + 96 + 16, 0x2000, 0xB8)
    for i, name in enumerate([b".text", b".rsrc", b".reloc"]):
        h = opt + 224 + 40 * i
        b[h:h + len(name)] = name
        struct.pack_into("<IIII", b, h + 8, 0x100, 0x1000 * (i + 1), 0x200, 0x200 * (i + 1))
    # root -> type 6 -> block 9 (strings 128 to 143) -> language 0x409 -> the block
    block = b"\0\0" * 8 + struct.pack("<H", len(GUID)) + GUID.encode("utf-16-le") + b"\0\0" * 7
    r = 0x400
    struct.pack_into("<HH II", b, r + 12, 0, 1, 6, 0x80000018)
    struct.pack_into("<HH II", b, r + 24 + 12, 0, 1, 9, 0x80000030)
    struct.pack_into("<HH II", b, r + 48 + 12, 0, 1, 0x409, 0x48)
    struct.pack_into("<II", b, r + 0x48, 0x2058, len(block))
    b[r + 0x58:r + 0x58 + len(block)] = block
    return bytes(b)


def timed(cmd):
    start = time.perf_counter()
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL)
    return time.perf_counter() - start


def main():
    with tempfile.TemporaryDirectory(dir=os.path.dirname(HERE)) as work:
        payload = os.path.join(work, "payload.zip")
        with zipfile.ZipFile(payload, "w", zipfile.ZIP_STORED) as z:
            z.writestr("Installer/setup.exe", b"MZ")
            z.writestr("Installer/orvsuite.xml", f'<suiteid packageguid="{GUID}"/>\n'.encode())
            z.writestr("Installer/data.bin", os.urandom(100 * 1024 * 1024))
        pristine = os.path.join(work, "pristine.exe")
        with open(pristine, "wb") as f:
            f.write(small_pe32())
        exe = os.path.join(work, "launcher.exe")
        copy = os.path.join(work, "copy.zip")
        embed_times, cp_times = [], []
        for _ in range(RUNS):
            shutil.copyfile(pristine, exe)
            embed_times.append(timed([VXZIP, "embed", exe, payload]))
            if os.path.exists(copy):
                os.remove(copy)
            cp_times.append(timed(["cp", payload, copy]))
        embed, cp = statistics.median(embed_times), statistics.median(cp_times)
        size = os.path.getsize(payload) / 2**20
        print(f"embed {size:.0f} MB: vxzip embed {embed * 1000:.0f} ms, cp {cp * 1000:.0f} ms, "
              f"ratio {embed / cp:.2f} (budget {BUDGET})")
        return 0 if embed <= BUDGET * cp else 1


sys.exit(main())
