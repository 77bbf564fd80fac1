#!/usr/bin/env python3
"""Testing a WinZip AES-256 archive: `vxzip test` against `7zz t -mmt1`.

The archive is built once and cached in the build tree: this machine's programs, libraries
and documentation, deflated and encrypted with AES-256 by 7-Zip until the archive holds about
100 MB. Every stored byte then passes through the key stream and the HMAC-SHA1 as well as
inflate. Reports the median wall and CPU times of both over the same runs, taken in turn.
"""
import os
import statistics
import subprocess
import sys
import time

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
    total = 0
    with open(listing, "w") as out:
        for root in SOURCES:
            for dirpath, _dirs, files in sorted(os.walk(root)):
                for f in sorted(files):
                    p = os.path.join(dirpath, f)
                    if os.path.islink(p) or not os.path.isfile(p):
                        continue
                    size = os.path.getsize(p)
                    if size > 32 * 1024 * 1024 or total + size > INPUT_BYTES:
                        continue
                    out.write(p + "\n")
                    total += size
    print(f"building the archive: {total / 2**20:.0f} MB of files, 7zz -mem=AES256 ...",
          flush=True)
    partial = ARCHIVE + ".part.zip"
    if os.path.exists(partial):
        os.remove(partial)
    subprocess.run(["7zz", "a", "-tzip", "-spf", "-mm=Deflate", "-mem=AES256", "-p" + PASSWORD,
                    partial, "@" + listing], stdout=subprocess.DEVNULL, check=True)
    os.rename(partial, ARCHIVE)


def run_once(cmd):
    """Wall time and CPU time (user + system) of one run."""
    start = time.perf_counter()
    proc = subprocess.Popen(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{' '.join(cmd)} failed")
    return wall, usage.ru_utime + usage.ru_stime


def main():
    build_archive()
    size = os.path.getsize(ARCHIVE)
    print(f"archive: {ARCHIVE} ({size / 2**20:.0f} MB); median of {RUNS} runs, taken in turn")
    contenders = [("vxzip test", [VXZIP, "test", "--password", PASSWORD, ARCHIVE]),
                  ("7zz t -mmt1", ["7zz", "t", "-mmt1", "-p" + PASSWORD, ARCHIVE])]
    # Alternating the two spreads the load of a busy machine over both alike; CPU time is
    # shown beside wall time, which there mostly measures the wait for a core.
    walls = {name: [] for name, _ in contenders}
    cpus = {name: [] for name, _ in contenders}
    for _ in range(RUNS):
        for name, cmd in contenders:
            wall, cpu = run_once(cmd)
            walls[name].append(wall)
            cpus[name].append(cpu)
    for name, _ in contenders:
        print(f"  {name:12s} {statistics.median(walls[name]):7.3f} s wall "
              f"{statistics.median(cpus[name]):7.3f} s CPU", flush=True)
    ours, theirs = "vxzip test", "7zz t -mmt1"
    print(f"  vxzip test is {statistics.median(walls[theirs]) / statistics.median(walls[ours]):.2f}x"
          f" as fast as 7zz t -mmt1 in wall time, "
          f"{statistics.median(cpus[theirs]) / statistics.median(cpus[ours]):.2f}x in CPU time")


if __name__ == "__main__":
    main()
