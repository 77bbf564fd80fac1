#!/usr/bin/env python3
"""Testing and extracting a realistic payload: vxzip against the tools people use.

The payload is built once and cached in the build tree: about 640 MB of this machine's
own programs, libraries and documentation, zipped with `zip -6`. Reports the median wall
and CPU time of `vxzip test` against `unzip -tq`, `7zz t -mmt1` and `bsdtar -xOf ARCHIVE`,
`vxzip extract` against `bsdtar -xf` into a memory file system and onto the disk, a table
of `vxzip test` and `vxzip extract` (into a memory file system) with 1 and 2 workers, and
the peak memory of `vxzip extract` against the archive's size plus 64 MB per worker. The
ratios that have a target are printed with it, and PASS or MISS.
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
PAYLOAD = os.path.join(DATA, "payload-640mb.zip")
TARGET_BYTES = 640 * 1024 * 1024
# Documentation first, then programs and libraries: some thousands of small files beside large
# ones, as in an installer's payload.
SOURCES = ["/usr/share/doc", "/usr/bin", "/usr/lib/x86_64-linux-gnu", "/usr/lib/gcc"]
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


def verdict(name, ratio, target):
    """One ratio of ours to theirs (wall time, lower is better) beside its target."""
    print(f"  {name}: {ratio:.2f}x (target at most {target:.2f}x: "
          f"{'PASS' if ratio <= target else 'MISS'})", flush=True)


def extract_against_bsdtar(where, target=None):
    """`vxzip extract` and `bsdtar -xf` into fresh folders under `where`, in turn; prints
    their medians and our share of bsdtar's wall time."""
    with tempfile.TemporaryDirectory(prefix="vxzip-bench-", dir=where) as work:
        out = os.path.join(work, "out")
        contenders = {
            "vxzip extract": [VXZIP, "extract", PAYLOAD, out],
            "bsdtar -xf": ["bsdtar", "-xf", PAYLOAD, "-C", out],
        }
        walls = {name: [] for name in contenders}
        for _ in range(RUNS):
            for name, command in contenders.items():
                shutil.rmtree(out, ignore_errors=True)
                os.makedirs(out)
                walls[name].append(benchlib.run_once(command)[0])
    label = "memory file system" if where == "/dev/shm" else "disk"
    for name in contenders:
        print(f"  {name:14s} {statistics.median(walls[name]):7.3f} s wall ({label})")
    ratio = statistics.median(walls["vxzip extract"]) / statistics.median(walls["bsdtar -xf"])
    if target is None:
        print(f"  vxzip extract / bsdtar -xf on the {label}: {ratio:.2f}x of its wall time "
              f"(the disk's noise: no target)", flush=True)
    else:
        verdict(f"vxzip extract / bsdtar -xf on the {label}, wall time", ratio, target)


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
    verdict("vxzip test / bsdtar -xOf, wall time", ours_wall / results["bsdtar -xOf"][0], 0.35)

    if os.path.isdir("/dev/shm"):
        extract_against_bsdtar("/dev/shm", target=0.5)
    extract_against_bsdtar(DATA)

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
