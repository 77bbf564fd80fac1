#!/usr/bin/env python3
"""`vxzip extract` against `7zz x` on the corpus.

Usage: extract_vs_7zz.py VXZIP CORPUS_DIR [METHOD ...]
Every "ok" archive that uses only the given methods (default: the ones the engine
decodes) must extract to exactly the bytes 7-Zip gives, with the manifest's password
where it names one. Every "fail" and "any" archive must end without a crash and write
nothing outside its target ("fail" ones must also report failure); one that names a
password is tried with it.
"""
import filecmp
import os
import shutil
import sys
import tempfile

from corpus import listed_entries, listed_method, load_manifest, run, seven_zip

DEFAULT_METHODS = {0, 1, 6, 8, 9, 12, 14, 98}
# Their names are in OEM code pages other than 437.
OTHER_OEM_PAGES = {"libarchive/filename_cp866.zip", "libarchive/filename_cp932.zip",
                   "libarchive/filename_koi8r.zip"}


def password_args(password, option):
    return [] if password is None else [option, password]


def methods_of(vxzip, archive):
    result = run([vxzip, "list", archive])
    if result.returncode != 0:
        return None
    return {listed_method(line.split(None, 1)[0]) for line in listed_entries(result.stdout.decode("utf-8"))}


def readable(name):
    """7-Zip on Linux writes a name it does not take for UTF-8 as its stored bytes,
    which are OEM code page 437 unless a code page was given."""
    raw = os.fsencode(name)
    try:
        return raw.decode("utf-8")
    except UnicodeDecodeError:
        return raw.decode("cp437")


def tree(root):
    found = {}
    for dirpath, dirnames, filenames in os.walk(root):
        rel = os.path.relpath(dirpath, root)
        for d in dirnames:
            found[readable(os.path.normpath(os.path.join(rel, d)))] = "dir"
        for f in filenames:
            found[readable(os.path.normpath(os.path.join(rel, f)))] = os.path.join(dirpath, f)
    return found


def same_content(ours, theirs):
    """A symbolic link from a Unix archive is a file holding the link's target on Windows."""
    if os.path.islink(theirs):
        with open(ours, "rb") as f:
            return f.read() == os.fsencode(os.readlink(theirs))
    return filecmp.cmp(ours, theirs, shallow=False)


def compare_trees(ours, theirs):
    a, b = tree(ours), tree(theirs)
    problems = []
    for name in sorted(set(a) | set(b)):
        if name not in a:
            problems.append(f"missing: {name}")
        elif name not in b:
            problems.append(f"extra: {name}")
        elif (a[name] == "dir") != (b[name] == "dir"):
            problems.append(f"file/folder mismatch: {name}")
        elif a[name] != "dir" and not same_content(a[name], b[name]):
            problems.append(f"different bytes: {name}")
    return problems


def main():
    vxzip, corpus = sys.argv[1], sys.argv[2]
    methods = {int(m) for m in sys.argv[3:]} or DEFAULT_METHODS
    rows = load_manifest(corpus)
    sz = seven_zip()
    passed = failed = 0
    for path, password, expect, _note in rows:
        archive = os.path.join(corpus, path)
        with tempfile.TemporaryDirectory(prefix="vxzip-conf-") as work:
            ours = os.path.join(work, "sandbox", "ours")
            os.makedirs(ours)
            if expect == "ok":
                used = methods_of(vxzip, archive)
                if used is None or not used <= methods or path in OTHER_OEM_PAGES:
                    continue
                result = run([vxzip, "extract", *password_args(password, "--password"), archive,
                              ours])
                theirs = os.path.join(work, "theirs")
                seven_password = [] if password is None else [f"-p{password}"]
                run([sz, "x", "-y", "-snld", *seven_password, f"-o{theirs}", archive])
                problems = [] if result.returncode == 0 else [
                    f"vxzip extract exited {result.returncode}:\n" +
                    result.stderr.decode("utf-8", "replace")[-2000:]]
                problems += compare_trees(ours, theirs)
            else:
                result = run([vxzip, "extract", *password_args(password, "--password"), archive,
                              ours])
                problems = []
                if result.returncode not in ((1,) if expect == "fail" else (0, 1)):
                    problems.append(f"vxzip extract ended with status {result.returncode}")
                outside = set(os.listdir(os.path.join(work, "sandbox"))) - {"ours"}
                if outside:
                    problems.append(f"wrote outside its target: {sorted(outside)}")
            if problems:
                failed += 1
                print(f"FAIL {path}:")
                for p in problems[:10]:
                    print(f"    {p}")
            else:
                passed += 1
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
