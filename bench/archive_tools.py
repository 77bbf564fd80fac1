#!/usr/bin/env python3
"""Testing and extracting a realistic payload: vxzip against the tools people use.

The payload is built once and cached in the build tree: a few hundred MB of this
machine's own programs, libraries and documentation, zipped with `zip -6`. Reports
the median wall and CPU time of `vxzip test` against `unzip -tq`, `7zz t -mmt1` and
`bsdtar -xOf ARCHIVE`, a table of `vxzip test` and `vxzip extract` (into a memory file
system) with 1 and 2 workers, and the peak memory of `vxzip extract` against the archive's
size plus 64 MB per worker.
"""
import os
import shutil
import statistics
import subprocess
import tempfile

import benchlib

HERE = os.path.dirname(os.path.abspath(__file__))
VXZIP = os.path.join(HERE, "vxzip")
DATA = os.path.join(os.path.dirname(HERE), "bench-data")
PAYLOAD = os.path.join(DATA, "payload.zip")
TARGET_BYTES = 300 * 1024 * 1024
SOURCES = ["/usr/bin", "/usr/lib/x86_64-linux-gnu", "/usr/share/doc", "/usr/lib/gcc"]
RUNS = 5


def build_payload():
    if os.path.exists(PAYLOAD):
        return
    os.makedirs(DATA, exist_ok=True)
    listing = os.path.join(DATA, "payload-files.txt")
    total = benchlib.write_listing(listing, SOURCES, TARGET_BYTES, largest=64 * 1024 * 1024,
                                   walk_sorted=False)
    print(f"building the payload: {total / 2**20:.0f} MB of files, zip -6 ...", flush=True)
    partial = PAYLOAD + ".part"
    with open(listing) as names:
        subprocess.run(["zip", "-q", "-6", "-@", partial], stdin=names, check=True)
    os.rename(partial, PAYLOAD)


def timed(cmd, runs=RUNS):
    """Median wall time and median CPU time (user + system) of the command."""
    return benchlib.timed(cmd, runs)


def peak_rss_kb(cmd):
    result = subprocess.run(["/usr/bin/time", "-f", "%M", *cmd], stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE, check=True)
    return int(result.stderr.decode().strip().splitlines()[-1])


def worker_table():
    """vxzip test and extract with 1 and 2 workers, run in turn so that the machine's load
    falls on all alike; the extraction goes to a memory file system, freshly emptied."""
    memory = "/dev/shm" if os.path.isdir("/dev/shm") else None
    counts = (1, 2)
    with tempfile.TemporaryDirectory(prefix="vxzip-bench-", dir=memory) as work:
        out = os.path.join(work, "out")
        commands = {
            "test": lambda j: [VXZIP, "-j", str(j), "test", PAYLOAD],
            "extract": lambda j: [VXZIP, "-j", str(j), "extract", PAYLOAD, out],
        }
        walls = {(name, j): [] for name in commands for j in counts}
        for _ in range(RUNS):
            for name, command in commands.items():
                for j in counts:
                    shutil.rmtree(out, ignore_errors=True)
                    walls[(name, j)].append(benchlib.run_once(command(j))[0])
    where = "memory file system" if memory else "disk"
    print(f"  workers   vxzip test   vxzip extract ({where}), median wall time")
    for j in counts:
        test = statistics.median(walls[("test", j)])
        extract = statistics.median(walls[("extract", j)])
        print(f"  {j:7d} {test:10.3f} s {extract:12.3f} s", flush=True)


def main():
    build_payload()
    size = os.path.getsize(PAYLOAD)
    print(f"payload: {PAYLOAD} ({size / 2**20:.0f} MB); median of {RUNS} runs")
    contenders = [
        ("vxzip test", [VXZIP, "test", PAYLOAD]),
        ("unzip -tq", ["unzip", "-tq", PAYLOAD]),
        ("7zz t -mmt1", ["7zz", "t", "-mmt1", PAYLOAD]),
        ("bsdtar -xOf", ["bsdtar", "-xOf", PAYLOAD]),
    ]
    # On a busy machine wall time mostly measures the wait for a core; CPU time is
    # shown beside it for that reason.
    results = {}
    for name, cmd in contenders:
        results[name] = timed(cmd)
        wall, cpu = results[name]
        print(f"  {name:14s} {wall:7.3f} s wall {cpu:7.3f} s CPU", flush=True)
    ours_wall, ours_cpu = results["vxzip test"]
    for name in ("unzip -tq", "7zz t -mmt1", "bsdtar -xOf"):
        wall, cpu = results[name]
        print(f"  vxzip test is {wall / ours_wall:.2f}x as fast as {name} in wall time, "
              f"{cpu / ours_cpu:.2f}x in CPU time")

    worker_table()

    workers = min(len(os.sched_getaffinity(0)), 8)
    with tempfile.TemporaryDirectory(prefix="vxzip-bench-") as work:
        out = os.path.join(work, "out")
        peak = peak_rss_kb([VXZIP, "extract", PAYLOAD, out])
    limit = size / 1024 + 64 * 1024 * workers
    print(f"  vxzip extract peak RSS {peak / 1024:.0f} MB with {workers} workers; archive + "
          f"64 MB per worker = {limit / 1024:.0f} MB ({'within' if peak < limit else 'OVER'})")


if __name__ == "__main__":
    main()
