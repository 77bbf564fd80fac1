#!/usr/bin/env python3
"""Testing a PPMd archive: `vxzip test` against `7zz t -mmt1`.

The archive is built once and cached in the build tree: about 100 MB of this machine's
documentation, manual pages and programs, zipped by 7-Zip with method 98 at its default
PPMd settings (order 8, 16 MB, restart), which gives an archive of about 50 MB. Reports the
median wall and CPU times of both over the same runs, taken in turn.
"""
import os

import benchlib

HERE = os.path.dirname(os.path.abspath(__file__))
VXZIP = os.path.join(HERE, "vxzip")
DATA = os.path.join(os.path.dirname(HERE), "bench-data")
ARCHIVE = os.path.join(DATA, "ppmd.zip")
TARGET_BYTES = 100 * 1024 * 1024
SOURCES = ["/usr/share/doc", "/usr/share/man", "/usr/bin"]
RUNS = 5


def build_archive():
    if os.path.exists(ARCHIVE):
        return
    os.makedirs(DATA, exist_ok=True)
    listing = os.path.join(DATA, "ppmd-files.txt")
    total = benchlib.write_listing(listing, SOURCES, TARGET_BYTES)
    print(f"building the archive: {total / 2**20:.0f} MB of files, 7zz -mm=PPMd ...", flush=True)
    benchlib.build_with_7zz(ARCHIVE, listing, ["-mm=PPMd"])


def main():
    build_archive()
    size = os.path.getsize(ARCHIVE)
    print(f"archive: {ARCHIVE} ({size / 2**20:.0f} MB); median of {RUNS} runs, taken in turn")
    contenders = [("vxzip test", [VXZIP, "test", ARCHIVE]),
                  ("7zz t -mmt1", ["7zz", "t", "-mmt1", ARCHIVE])]
    benchlib.compare_in_turn(contenders, RUNS)


if __name__ == "__main__":
    main()
