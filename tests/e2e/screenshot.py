#!/usr/bin/env python3
"""A PNG of an X screen: xwd dumps it, this file turns the dump into a PNG.

  screenshot.py DISPLAY FILE.png

Only xwd is needed (x11-apps); the TrueColor dumps that Xvfb gives at 16, 24 and
32 bits are converted here.
"""
import shutil
import struct
import subprocess
import sys
import zlib


def xwd_to_rgb(dump):
    """(width, height, rows of RGB bytes) of a TrueColor ZPixmap xwd dump."""
    fields = struct.unpack(">25I", dump[:100])
    header_size, _, pixmap_format = fields[0], fields[1], fields[2]
    width, height = fields[4], fields[5]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    masks = fields[14:17]
    ncolors = fields[19]
    if pixmap_format != 2 or bits_per_pixel not in (16, 24, 32):
        raise ValueError(f"unsupported xwd dump: format {pixmap_format}, {bits_per_pixel} bpp")
    data = dump[header_size + 12 * ncolors:]
    step = bits_per_pixel // 8
    order = "little" if byte_order == 0 else "big"
    shifts = []
    for mask in masks:
        shift = (mask & -mask).bit_length() - 1
        shifts.append((shift, mask >> shift))
    rows = []
    for y in range(height):
        line = data[y * bytes_per_line:y * bytes_per_line + width * step]
        row = bytearray()
        for x in range(0, len(line), step):
            pixel = int.from_bytes(line[x:x + step], order)
            for shift, top in shifts:
                row.append(((pixel >> shift) & top) * 255 // top if top else 0)
        rows.append(bytes(row))
    return width, height, rows


def png(width, height, rows):
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
    raw = b"".join(b"\0" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))


def grab(display, target):
    """Saves the screen of `display` to `target`; False (with the reason printed) if it cannot."""
    if not shutil.which("xwd"):
        print("no xwd (x11-apps): no screenshot")
        return False
    dump = subprocess.run(["xwd", "-root", "-silent", "-display", display], capture_output=True)
    if dump.returncode != 0:
        print("xwd failed: " + dump.stderr.decode(errors="replace").strip())
        return False
    with open(target, "wb") as f:
        f.write(png(*xwd_to_rgb(dump.stdout)))
    return True


if __name__ == "__main__":
    sys.exit(0 if grab(sys.argv[1], sys.argv[2]) else 1)
