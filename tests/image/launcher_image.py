#!/usr/bin/env python3
"""Checks the launcher's image as the build leaves it, which is what every user downloads.

  launcher_image.py EXE --machine i386|amd64 [--max-bytes N]

The image is of the machine given (PE32 for i386, PE32+ for amd64), marked
large-address-aware, relocatable (ASLR) and compatible with data execution prevention,
stripped of its symbol table, and at most N bytes long. Exit status 0 when it is, 1
with the reasons when not.
"""
import argparse
import os
import struct
import sys

MACHINES = {"i386": (0x014C, 0x10B), "amd64": (0x8664, 0x20B)}
LARGE_ADDRESS_AWARE = 0x0020
DYNAMIC_BASE = 0x0040
NX_COMPAT = 0x0100


def problems(path, machine, max_bytes):
    with open(path, "rb") as f:
        image = f.read()
    if image[:2] != b"MZ" or len(image) < 0x40:
        return ["not an MZ executable"]
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    if image[pe:pe + 4] != b"PE\0\0":
        return ["no PE signature"]
    found_machine, _, _, symbols, _, _, characteristics = struct.unpack_from("<HHIIIHH", image,
                                                                             pe + 4)
    optional = pe + 24
    magic = struct.unpack_from("<H", image, optional)[0]
    dll_characteristics = struct.unpack_from("<H", image, optional + 70)[0]
    want_machine, want_magic = MACHINES[machine]
    found = []
    if (found_machine, magic) != (want_machine, want_magic):
        found.append(f"machine {found_machine:#06x} with optional header {magic:#05x}, "
                     f"expected {want_machine:#06x} with {want_magic:#05x}")
    if not characteristics & LARGE_ADDRESS_AWARE:
        found.append("not large-address-aware")
    if dll_characteristics & (DYNAMIC_BASE | NX_COMPAT) != DYNAMIC_BASE | NX_COMPAT:
        found.append(f"DLL characteristics {dll_characteristics:#06x} lack ASLR or DEP")
    if symbols:
        found.append("carries a symbol table (not stripped)")
    if max_bytes and len(image) > max_bytes:
        found.append(f"{len(image)} bytes, more than {max_bytes}")
    return found


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("exe")
    parser.add_argument("--machine", choices=sorted(MACHINES), required=True)
    parser.add_argument("--max-bytes", type=int, default=0)
    args = parser.parse_args()
    found = problems(args.exe, args.machine, args.max_bytes)
    print(f"{args.exe}: {os.path.getsize(args.exe)} bytes")
    for problem in found:
        print(f"FAIL: {problem}")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
