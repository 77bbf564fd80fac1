#!/usr/bin/env python3
"""Testing a WinZip AES-256 archive: `vxzip test` against `7zz t -mmt1`.

The archive is built once and cached in the build tree: this machine's programs, libraries
and documentation, deflated and encrypted with AES-256 by 7-Zip until the archive holds about
100 MB. Every stored byte then passes through the key stream and the HMAC-SHA1 as well as
inflate. Reports the median wall and CPU times of both over the same runs, taken in turn.
"""
import os

import benchlib

HERE = os.path.dirname(os.path.abspath(__file__))
VXZIP = os.path.join(HERE, "vxzip")
DATA = os.path.join(os.path.dirname(HERE), "bench-data")
ARCHIVE = os.path.join(DATA, "aes256.zip")
PASSWORD = "bench-password"
# Deflate leaves these files at about 40% of their size.
INPUT_BYTES = 280 * 1024 * 1024
SOURCES = ["/usr/lib/x86_64-linux-gnu", "/usr/bin", "/usr/share/doc"]
RUNS = 5


def build_archive():
    if os.path.exists(ARCHIVE):
        return
    os.makedirs(DATA, exist_ok=True)
    listing = os.path.join(DATA, "aes256-files.txt")
    total = benchlib.write_listing(listing, SOURCES, INPUT_BYTES, largest=32 * 1024 * 1024)
    print(f"building the archive: {total / 2**20:.0f} MB of files, 7zz -mem=AES256 ...",
          flush=True)
    benchlib.build_with_7zz(ARCHIVE, listing, ["-mm=Deflate", "-mem=AES256", "-p" + PASSWORD])


def main():
    build_archive()
    size = os.path.getsize(ARCHIVE)
    print(f"archive: {ARCHIVE} ({size / 2**20:.0f} MB); median of {RUNS} runs, taken in turn")
    contenders = [("vxzip test", [VXZIP, "test", "--password", PASSWORD, ARCHIVE]),
                  ("7zz t -mmt1", ["7zz", "t", "-mmt1", "-p" + PASSWORD, ARCHIVE])]
    benchlib.compare_in_turn(contenders, RUNS)


if __name__ == "__main__":
    main()
