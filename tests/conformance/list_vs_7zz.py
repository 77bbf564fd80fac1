#!/usr/bin/env python3
"""`vxzip list` against `7zz l -slt` on every readable archive of the corpus.

Usage: list_vs_7zz.py VXZIP CORPUS_DIR
Names, sizes and methods must agree entry by entry, in central-directory order.
Every other archive of the corpus must be listed or refused without a crash.
"""
import os
import sys

from corpus import listed_entries, listed_method, load_manifest, run, seven_zip, seven_zip_entries

# Their names are in OEM code pages other than 437: listed with that code page given to
# both tools, with the Python codec that reads 7-Zip's output under it.
OTHER_OEM_PAGES = {"libarchive/filename_cp866.zip": (866, "cp866"),
                   "libarchive/filename_cp932.zip": (932, "cp932"),
                   "libarchive/filename_koi8r.zip": (20866, "koi8_r")}


def vxzip_entries(vxzip, archive, code_page=None):
    options = ["--oem-codepage", str(code_page)] if code_page else []
    result = run([vxzip, "list", *options, archive])
    if result.returncode != 0:
        return None, result.stderr.decode("utf-8", "replace")
    entries = []
    for line in listed_entries(result.stdout.decode("utf-8")):
        method, packed, size, _crc, kind, name = line.split(None, 5)
        entries.append({"path": name.rstrip("/"), "size": int(size), "packed": int(packed),
                         "method": listed_method(method), "dir": kind == "D"})
    return entries, ""


def compare(ours, theirs):
    if len(ours) != len(theirs):
        return [f"{len(ours)} entries, 7zz lists {len(theirs)}"]
    problems = []
    for i, (a, b) in enumerate(zip(ours, theirs)):
        for key in ("path", "size", "packed", "method"):
            if b[key] is not None and a[key] != b[key]:
                problems.append(f"entry {i}: {key} {a[key]!r}, 7zz says {b[key]!r}")
    return problems


def main():
    vxzip, corpus = sys.argv[1], sys.argv[2]
    rows = load_manifest(corpus)
    sz = seven_zip()
    failures = 0
    checked = 0
    for path, _password, expect, _note in rows:
        archive = os.path.join(corpus, path)
        if expect != "ok":
            result = run([vxzip, "list", archive])
            checked += 1
            if result.returncode not in (0, 1):
                failures += 1
                print(f"FAIL {path}: vxzip list ended with status {result.returncode}")
            continue
        code_page, codec = OTHER_OEM_PAGES.get(path, (None, None))
        ours, err = vxzip_entries(vxzip, archive, code_page)
        if ours is None:
            print(f"FAIL {path}: vxzip list failed\n{err}")
            failures += 1
            continue
        extra = [f"-mcp={code_page}"] if code_page else []
        problems = compare(ours, seven_zip_entries(sz, archive, extra, codec))
        checked += 1
        if problems:
            failures += 1
            print(f"FAIL {path}:")
            for p in problems[:10]:
                print(f"    {p}")
    print(f"{checked - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
