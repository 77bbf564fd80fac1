"""The conformance corpus: real archives written by other tools, listed in MANIFEST.tsv.

The corpus lives beside the repository (../shared/corpus) and is not part of it; the
conformance scripts skip (exit 77) when it is absent.
"""
import os
import subprocess
import sys

SKIP = 77


def load_manifest(corpus):
    """Rows of (path, password or None, expect, note)."""
    manifest = os.path.join(corpus, "MANIFEST.tsv")
    if not os.path.isfile(manifest):
        print(f"corpus not found at {corpus}: skipped")
        sys.exit(SKIP)
    rows = []
    with open(manifest, encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            path, password, expect, note = line.rstrip("\n").split("\t", 3)
            rows.append((path, None if password == "-" else password, expect, note))
    return rows


def seven_zip():
    for name in ("7zz", "7z"):
        for d in os.environ.get("PATH", "").split(os.pathsep):
            if os.access(os.path.join(d, name), os.X_OK):
                return name
    print("7zz not installed: skipped")
    sys.exit(SKIP)


# 7-Zip's names for the ZIP methods; an encryption name may stand before them.
METHOD_NUMBERS = {"Store": 0, "Shrink": 1, "Implode": 6, "Deflate": 8, "Deflate64": 9,
                  "BZip2": 12, "LZMA": 14, "PPMd": 98}


def decode_line(line, codec="cp437"):
    try:
        return line.decode("utf-8")
    except UnicodeDecodeError:
        return line.decode(codec)


def seven_zip_entries(sz, archive, extra_args=(), codec=None):
    """The entries 7-Zip lists: dicts with path, size, packed, method (number or None)."""
    raw = subprocess.run([sz, "l", "-slt", "-p-", *extra_args, archive],
                         capture_output=True, check=False).stdout
    # 7-Zip on Linux passes a name it does not take for UTF-8 through as its stored
    # bytes: they are in the code page given with -mcp (`codec` reads them), else 437.
    out = "\n".join(decode_line(line, codec or "cp437") for line in raw.split(b"\n"))
    entries = []
    _, _, body = out.partition("\n----------\n")
    for block in body.split("\n\n"):
        fields = {}
        for line in block.splitlines():
            key, sep, value = line.partition(" = ")
            if sep:
                fields[key] = value
        if "Path" not in fields:
            continue
        method = None
        for token in fields.get("Method", "").split():
            base = token.split(":")[0]
            if base in METHOD_NUMBERS:
                method = METHOD_NUMBERS[base]
        entries.append({
            "path": fields["Path"],
            "size": int(fields.get("Size") or 0),
            "packed": int(fields.get("Packed Size") or 0),
            "method": method,
            "dir": fields.get("Folder") == "+",
        })
    return entries


# vxzip's names for the methods it lists by name; it lists any other as its number.
VXZIP_METHOD_NUMBERS = {"store": 0, "shrink": 1, "implode": 6, "deflate": 8, "deflate64": 9,
                        "bzip2": 12, "lzma": 14, "ppmd": 98, "aes": 99}


def listed_method(text):
    """The method number of a `vxzip list` line's first column."""
    return VXZIP_METHOD_NUMBERS[text] if text in VXZIP_METHOD_NUMBERS else int(text)


def listed_entries(listing):
    """The entry lines of `vxzip list` output: those between its two rules."""
    lines = listing.splitlines()
    rules = [i for i, line in enumerate(lines) if line.startswith("--------- ")]
    if len(rules) != 2:
        raise ValueError(f"not a vxzip listing:\n{listing}")
    return lines[rules[0] + 1:rules[1]]


def run(cmd):
    return subprocess.run(cmd, capture_output=True, check=False)
