#!/usr/bin/env python3
"""Draws the launcher's pictures at build time: the banner strip IDB_TOPSTRIP0
(578 x 59 pixels, 8 bits per pixel with a palette of its own, run-length
encoded, the strip's size at 96 dots per inch) and
the application icon (16 x 16 and 32 x 32, 32 bits per pixel with alpha, as PNGs).

usage: draw_images.py BANNER.bmp ICON.ico
"""
import struct
import sys
import zlib

# The Orvandis colours: a deep slate blue fading into teal, with a light band.
DARK = (0x1B, 0x2A, 0x49)
LIGHT = (0x1F, 0x8A, 0x8A)
BAND = (0xE8, 0xF1, 0xF2)


def mix(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def banner_pixel(x, y, width, height):
    colour = mix(DARK, LIGHT, x / (width - 1))
    # A soft diagonal band across the right half.
    d = (x - 0.55 * width) - 1.6 * (height - y)
    if -14 <= d <= 14:
        colour = mix(colour, BAND, 0.22 * (1 - abs(d) / 14))
    # A thin light rule along the bottom edge.
    if y == height - 2:
        colour = mix(colour, BAND, 0.5)
    return colour


def median_cut(counts, boxes):
    """A palette of at most `boxes` colours for the colours in `counts` (colour: pixels):
    the box of colours with the widest channel is split at its median pixel until there
    are enough, and each box gives the pixel-weighted mean of its colours."""
    pending = [sorted(counts)]
    while len(pending) < boxes:
        def spread(box):
            return max(max(c[i] for c in box) - min(c[i] for c in box) for i in range(3))
        widest = max((b for b in pending if len(b) > 1), key=spread, default=None)
        if widest is None:
            break
        pending.remove(widest)
        channel = max(range(3), key=lambda i: max(c[i] for c in widest) - min(c[i] for c in widest))
        widest.sort(key=lambda c: c[channel])
        total, running, cut = sum(counts[c] for c in widest), 0, 1
        for i, c in enumerate(widest[:-1]):
            running += counts[c]
            cut = i + 1
            if 2 * running >= total:
                break
        pending += [widest[:cut], widest[cut:]]
    palette = []
    for box in pending:
        weight = sum(counts[c] for c in box)
        palette.append(tuple(int(round(sum(c[i] * counts[c] for c in box) / weight))
                             for i in range(3)))
    return palette


def rle8_row(row):
    """One row in BMP's RLE8 form, without its end mark: runs of one colour as (count,
    index); stretches where no two neighbours agree as literals (0, count, indices, padded
    to an even length), which cost a byte a pixel instead of two."""
    out = bytearray()
    x, width = 0, len(row)
    while x < width:
        run = 1
        while x + run < width and run < 255 and row[x + run] == row[x]:
            run += 1
        if run >= 2:
            out += bytes((run, row[x]))
            x += run
            continue
        end = x + 1
        while end < width and end - x < 255 and (end + 1 >= width or row[end] != row[end + 1]):
            end += 1
        if end - x >= 3:
            out += bytes((0, end - x)) + bytes(row[x:end]) + b"\0" * ((end - x) & 1)
        else:
            for i in range(x, end):
                out += bytes((1, row[i]))
        x = end
    return bytes(out)


def unrle8(data):
    """The rows of RLE8 `data`, bottom-up: a check that the encoding gives the picture back."""
    rows, row, at = [], [], 0
    while True:
        count, value = data[at], data[at + 1]
        at += 2
        if count:
            row += [value] * count
        elif value == 0:
            rows.append(row)
            row = []
        elif value == 1:
            rows.append(row)
            return rows
        else:
            row += list(data[at:at + value])
            at += value + (value & 1)


def bmp8(width, height, pixel):
    """An 8-bit bitmap with its own palette, run-length encoded (RLE8): a twelfth of the
    24-bit size for a picture of soft gradients, where the nearest of 256 colours differs
    from the drawn one by a step or two of a channel at most."""
    pixels = [[pixel(x, y, width, height) for x in range(width)] for y in range(height)]
    counts = {}
    for row in pixels:
        for c in row:
            counts[c] = counts.get(c, 0) + 1
    palette = median_cut(counts, 256)
    nearest = {c: min(range(len(palette)),
                      key=lambda i: sum((a - b) ** 2 for a, b in zip(c, palette[i])))
               for c in counts}
    indices = [[nearest[c] for c in pixels[y]] for y in range(height - 1, -1, -1)]  # bottom-up
    data = b"\0\0".join(rle8_row(row) for row in indices) + b"\0\1"
    if unrle8(data) != indices:
        sys.exit("draw_images: the run-length encoding does not give the banner back")
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 1, len(data), 3780, 3780,
                       len(palette), 0)  # compression 1: RLE8
    offset = 14 + len(info) + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    return header + info + table + data


def icon_pixel(x, y, size):
    # A rounded square in the banner's colours with a light down arrow.
    r = size * 0.18
    cx = min(max(x + 0.5, r), size - r)
    cy = min(max(y + 0.5, r), size - r)
    if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 > r * r:
        return (0, 0, 0, 0)
    colour = mix(DARK, LIGHT, (x + y) / (2 * size - 2))
    u, v = (x + 0.5) / size, (y + 0.5) / size
    shaft = 0.42 <= u <= 0.58 and 0.18 <= v <= 0.55
    head = 0.5 <= v <= 0.80 and abs(u - 0.5) <= (0.80 - v) * 0.95
    if shaft or head:
        colour = BAND
    return colour + (255,)


def png_chunk(kind, data):
    return (struct.pack(">I", len(data)) + kind + data +
            struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))


def icon_image(size):
    """One icon image as a PNG (32 bits with alpha): icons on Windows Vista and later
    may be PNGs at any size, and these compress to a fifth of the DIB's size."""
    rows = b""
    for y in range(size):
        rows += b"\0"  # no filter
        for x in range(size):
            rows += bytes(icon_pixel(x, y, size))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) +
            png_chunk(b"IDAT", zlib.compress(rows, 9)) + png_chunk(b"IEND", b""))


def ico(sizes):
    images = [icon_image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    with open(sys.argv[1], "wb") as f:
        f.write(bmp8(578, 59, banner_pixel))
    with open(sys.argv[2], "wb") as f:
        f.write(ico([32, 16]))


if __name__ == "__main__":
    main()
