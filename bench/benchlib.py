"""What the archive benchmarks share: picking this machine's files for a cached archive,
and timing commands by wall and CPU time."""
import os
import statistics
import subprocess
import sys
import time


def write_listing(listing, sources, limit, largest=None, walk_sorted=True):
    """Writes the paths of regular files below `sources` to `listing`, one a line, until
    their sizes add up to `limit` bytes; files over `largest` bytes are passed over.
    Returns the total size listed."""
    total = 0
    with open(listing, "w") as out:
        for root in sources:
            walk = os.walk(root)
            for dirpath, _dirs, files in (sorted(walk) if walk_sorted else walk):
                for f in sorted(files):
                    p = os.path.join(dirpath, f)
                    if os.path.islink(p) or not os.path.isfile(p):
                        continue
                    size = os.path.getsize(p)
                    if (largest and size > largest) or total + size > limit:
                        continue
                    out.write(p + "\n")
                    total += size
    return total


def build_with_7zz(archive, listing, options):
    """Zips the listed files with 7-Zip into `archive`, through a partial file so that an
    interrupted build is never taken for the cached archive."""
    partial = archive + ".part.zip"
    if os.path.exists(partial):
        os.remove(partial)
    subprocess.run(["7zz", "a", "-tzip", "-spf", *options, partial, "@" + listing],
                   stdout=subprocess.DEVNULL, check=True)
    os.rename(partial, archive)


def run_once(cmd):
    """Wall time and CPU time (user + system) of one run."""
    start = time.perf_counter()
    proc = subprocess.Popen(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{' '.join(cmd)} failed")
    return wall, usage.ru_utime + usage.ru_stime


def timed(cmd, runs):
    """Median wall time and median CPU time of the command."""
    results = [run_once(cmd) for _ in range(runs)]
    return (statistics.median(w for w, _ in results), statistics.median(c for _, c in results))


def compare_in_turn(contenders, runs):
    """Runs (name, command) pairs in turn, `runs` times, and prints their median wall and
    CPU times and how many times faster the first is than the second."""
    # Alternating spreads the load of a busy machine over all alike; CPU time is shown
    # beside wall time, which there mostly measures the wait for a core.
    walls = {name: [] for name, _ in contenders}
    cpus = {name: [] for name, _ in contenders}
    for _ in range(runs):
        for name, cmd in contenders:
            wall, cpu = run_once(cmd)
            walls[name].append(wall)
            cpus[name].append(cpu)
    for name, _ in contenders:
        print(f"  {name:12s} {statistics.median(walls[name]):7.3f} s wall "
              f"{statistics.median(cpus[name]):7.3f} s CPU", flush=True)
    ours, theirs = contenders[0][0], contenders[1][0]
    print(f"  {ours} is {statistics.median(walls[theirs]) / statistics.median(walls[ours]):.2f}x"
          f" as fast as {theirs} in wall time, "
          f"{statistics.median(cpus[theirs]) / statistics.median(cpus[ours]):.2f}x in CPU time")
