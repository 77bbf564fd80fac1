#!/usr/bin/python3
"""Generates the built-in code page tables of zip/base/text from mappings on a Debian machine.

    tools/codepages/gen_tables.py [--out zip/base/text]

Run it with Debian's own Python (/usr/bin/python3), which has PyICU. Where the mappings come
from, and the Debian packages that ship them (install before running):
  - Python's codecs (python3.11),
  - glibc's iconv converters (libc6) and charmap files (locales: /usr/share/i18n/charmaps),
  - ICU's converters through PyICU (python3-icu),
  - Apple's published mappings as libintl-perl ships them (/usr/share/perl5/Locale/RecodeData)
    and as libimage-exiftool-perl ships them (/usr/share/perl5/Image/ExifTool/Charset).

Each code page is listed in CODE_PAGES with its kind and its source. Every mapping is turned
into (byte sequence, UTF-16 unit) entries sorted by sequence, and stored as a byte stream
(see MappingStream.h for its form): runs of consecutive units and small deltas make it short.
Where a unit has several sequences, the one the source's encoder writes is listed apart
("preferred"); otherwise the way back takes the lowest sequence.

The single-byte pages go to SingleByteTables.cpp, the multi-byte ones to MultiByteTables.cpp;
`KINDS` says which emitter writes which file.
"""

import argparse
import ctypes
import ctypes.util
import gzip
import pathlib
import re
import subprocess
import sys
import unicodedata

REPO = pathlib.Path(__file__).resolve().parents[2]

# ---------------------------------------------------------------------------------------------
# Sources. Each is a function from a byte string to its text (None when it does not decode).


def python_codec(name):
    def decode(b):
        try:
            return b.decode(name)
        except UnicodeDecodeError:
            return None

    decode.source = f"Python codec {name}"
    return decode


_libc = ctypes.CDLL(ctypes.util.find_library("c"), use_errno=True)
_libc.iconv_open.restype = ctypes.c_void_p
_libc.iconv_open.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
_libc.iconv.restype = ctypes.c_size_t
_libc.iconv.argtypes = [ctypes.c_void_p] + [ctypes.c_void_p] * 4


def glibc_iconv(name):
    handle = _libc.iconv_open(b"UTF-16LE", name.encode())
    if handle in (None, ctypes.c_void_p(-1).value):
        sys.exit(f"glibc iconv has no converter {name}")

    def decode(b):
        _libc.iconv(handle, None, None, None, None)  # back to the initial state
        inbuf = ctypes.create_string_buffer(b, len(b))
        outbuf = ctypes.create_string_buffer(64)
        inptr = ctypes.c_char_p(ctypes.addressof(inbuf))
        outptr = ctypes.c_char_p(ctypes.addressof(outbuf))
        inleft = ctypes.c_size_t(len(b))
        outleft = ctypes.c_size_t(64)
        r = _libc.iconv(handle, ctypes.byref(inptr), ctypes.byref(inleft),
                        ctypes.byref(outptr), ctypes.byref(outleft))
        if r == ctypes.c_size_t(-1).value or inleft.value:
            return None
        return outbuf.raw[: 64 - outleft.value].decode("utf-16-le")

    decode.source = f"glibc iconv {name}"
    return decode


def icu_converter(name):
    import icu  # python3-icu

    def decode(b):
        try:
            return str(icu.UnicodeString(b, name))
        except (icu.ICUError, ValueError):
            return None

    decode.source = f"ICU converter {name}"
    return decode


def glibc_charmap(name):
    """A charmap of the locales package; its lines of several bytes are left out."""
    path = pathlib.Path("/usr/share/i18n/charmaps") / f"{name}.gz"
    table = {}
    with gzip.open(path, "rt", encoding="latin-1") as f:
        for line in f:
            m = re.match(r"<U([0-9A-Fa-f]{4,})>\s+/x([0-9a-fA-F]{2})\s", line)
            if m:
                table.setdefault(bytes([int(m.group(2), 16)]), chr(int(m.group(1), 16)))

    def decode(b):
        return table.get(b)

    decode.source = f"glibc charmap {name} (locales)"
    return decode


def libintl_perl(name):
    """The 256 code points of a Locale::RecodeData module (Apple's published mappings)."""
    path = pathlib.Path("/usr/share/perl5/Locale/RecodeData") / f"{name}.pm"
    text = path.read_text()
    body = text.split("my @to_ucs4 = (", 1)[1].split(");", 1)[0]
    points = [int(x, 16) for x in re.findall(r"0x([0-9a-fA-F]+)", body)]
    if len(points) != 256:
        sys.exit(f"{path}: {len(points)} entries")
    table = {bytes([b]): chr(p) for b, p in enumerate(points) if p != 0xFFFD}

    def decode(b):
        return table.get(b)

    decode.source = f"libintl-perl Locale::RecodeData::{name}"
    return decode


def exiftool_charset(name):
    """Apple's published mapping as an ExifTool charset; sequences of several characters are
    left out. Its bytes 0x00-0x7F are ASCII but where it says otherwise."""
    path = f"/usr/share/perl5/Image/ExifTool/Charset/{name}.pm"
    script = (
        f'require "{path}"; my $t = \\%Image::ExifTool::Charset::{name};'
        'for my $k (sort { $a <=> $b } keys %$t) { my $v = $t->{$k};'
        ' if (ref $v eq "HASH") { for my $k2 (sort { $a <=> $b } keys %$v) { my $w = $v->{$k2};'
        '  print "$k $k2 $w\\n" unless ref $w; } }'
        ' elsif (!ref $v) { print "$k $v\\n"; } }'
    )
    out = subprocess.run(["perl", "-e", script], capture_output=True, text=True, check=True)
    table = {bytes([b]): chr(b) for b in range(0x80)}
    for line in out.stdout.splitlines():
        nums = [int(x) for x in line.split()]
        table[bytes(nums[:-1])] = chr(nums[-1])

    def decode(b):
        return table.get(b)

    decode.source = f"libimage-exiftool-perl Charset::{name} (Apple's JAPANESE.TXT)"
    return decode


def ibm924():
    """IBM-924 is IBM-1047 with the eight characters that ISO 8859-15 puts in place of
    ISO 8859-1's replaced the same way."""
    base = glibc_iconv("IBM1047")
    latin9 = {"\u00A4": "\u20AC", "\u00A6": "\u0160", "\u00A8": "\u0161", "\u00B4": "\u017D",
              "\u00B8": "\u017E", "\u00BC": "\u0152", "\u00BD": "\u0153", "\u00BE": "\u0178"}

    def decode(b):
        text = base(b)
        return latin9.get(text, text) if text is not None else None

    decode.source = "glibc iconv IBM1047 with ISO 8859-15's replacements (IBM-924)"
    return decode


# code page -> (kind, source). The multi-byte kinds name their longest sequence.
CODE_PAGES = {
    37: ("single", python_codec("cp037")),
    437: ("single", python_codec("cp437")),
    500: ("single", python_codec("cp500")),
    708: ("single", python_codec("iso8859_6")),
    720: ("single", python_codec("cp720")),
    737: ("single", python_codec("cp737")),
    775: ("single", python_codec("cp775")),
    850: ("single", python_codec("cp850")),
    852: ("single", python_codec("cp852")),
    855: ("single", python_codec("cp855")),
    857: ("single", python_codec("cp857")),
    858: ("single", python_codec("cp858")),
    860: ("single", python_codec("cp860")),
    861: ("single", python_codec("cp861")),
    862: ("single", python_codec("cp862")),
    863: ("single", python_codec("cp863")),
    864: ("single", python_codec("cp864")),
    865: ("single", python_codec("cp865")),
    866: ("single", python_codec("cp866")),
    869: ("single", python_codec("cp869")),
    870: ("single", glibc_iconv("IBM870")),
    874: ("single", python_codec("cp874")),
    875: ("single", python_codec("cp875")),
    1026: ("single", python_codec("cp1026")),
    1047: ("single", glibc_iconv("IBM1047")),
    1140: ("single", python_codec("cp1140")),
    **{cp: ("single", glibc_iconv(f"IBM{cp}")) for cp in range(1141, 1150)},
    **{cp: ("single", python_codec(f"cp{cp}")) for cp in range(1250, 1259)},
    10000: ("single", python_codec("mac_roman")),
    10004: ("single", python_codec("mac_arabic")),
    10005: ("single", libintl_perl("MACHEBREW")),
    10006: ("single", python_codec("mac_greek")),
    10007: ("single", python_codec("mac_cyrillic")),
    10010: ("single", python_codec("mac_romanian")),
    10017: ("single", glibc_iconv("MAC-UK")),
    10021: ("single", libintl_perl("MACTHAI")),
    10029: ("single", python_codec("mac_latin2")),
    10079: ("single", python_codec("mac_iceland")),
    10081: ("single", python_codec("mac_turkish")),
    10082: ("single", python_codec("mac_croatian")),
    20105: ("single", glibc_charmap("ISO_646.IRV")),
    20106: ("single", glibc_iconv("DIN_66003")),
    20107: ("single", glibc_iconv("SEN_850200_B")),
    20108: ("single", glibc_iconv("NS_4551-1")),
    20127: ("single", python_codec("ascii")),
    20261: ("single", glibc_iconv("T.61-8BIT")),
    20269: ("single", glibc_iconv("ISO_6937")),
    20273: ("single", python_codec("cp273")),
    **{cp: ("single", glibc_iconv(f"IBM{cp - 20000}"))
       for cp in (20277, 20278, 20280, 20284, 20285, 20290, 20297, 20420, 20423, 20871, 20880,
                  20905)},
    20424: ("single", python_codec("cp424")),
    20838: ("single", icu_converter("ibm-838_P100-1995")),
    20866: ("single", python_codec("koi8_r")),
    20924: ("single", ibm924()),
    21025: ("single", glibc_iconv("IBM1025")),
    21866: ("single", python_codec("koi8_u")),
    **{cp: ("single", python_codec(f"iso8859_{cp - 28590}")) for cp in range(28591, 28600)},
    28603: ("single", python_codec("iso8859_13")),
    28605: ("single", python_codec("iso8859_15")),
    38598: ("single", python_codec("iso8859_8")),
    932: ("multi2", python_codec("cp932")),
    936: ("multi2", icu_converter("windows-936-2000")),
    949: ("multi2", python_codec("cp949")),
    950: ("multi2", python_codec("cp950")),
    1361: ("multi2", python_codec("johab")),
    10001: ("multi2", exiftool_charset("MacJapanese")),
    51932: ("multi3", glibc_iconv("EUC-JP-MS")),
    51936: ("multi2", python_codec("gb2312")),
    51949: ("multi2", python_codec("euc_kr")),
}

# The lead bytes of three-byte sequences (EUC-JP's JIS X 0212 plane).
THREE_BYTE_LEADS = {51932: [0x8F]}

# The page whose bytes get their characters' right-to-left class as a table of its own.
RIGHT_TO_LEFT_PAGE = 10004

# ---------------------------------------------------------------------------------------------
# Mapping entries.


def one_unit(text):
    """The UTF-16 unit of a text of one BMP character, else None."""
    if text is None or len(text) != 1 or ord(text) > 0xFFFF or ord(text) == 0xFFFD:
        return None
    return ord(text)


def entries_of(cp, kind, decode):
    """(sequence, unit) pairs sorted by length then bytes; byte 0 is left to the converter."""
    entries = []
    for b in range(1, 256):
        unit = one_unit(decode(bytes([b])))
        if unit:
            entries.append((bytes([b]), unit))
    if kind.startswith("multi"):
        for lead in range(0x80, 0x100):
            for trail in range(0x21, 0x100):
                unit = one_unit(decode(bytes([lead, trail])))
                if unit:
                    entries.append((bytes([lead, trail]), unit))
        for lead in THREE_BYTE_LEADS.get(cp, []):
            for b2 in range(0xA1, 0xFF):
                for b3 in range(0xA1, 0xFF):
                    unit = one_unit(decode(bytes([lead, b2, b3])))
                    if unit:
                        entries.append((bytes([lead, b2, b3]), unit))
    return entries


def preferred_of(decode, entries):
    """Units decoded from several sequences, with the one the source's encoder writes when
    that is not the lowest. Only Python's codecs can say; other sources keep the lowest."""
    name = getattr(decode, "source", "")
    if not name.startswith("Python codec "):
        return []
    codec = name.split()[-1]
    first = {}
    known = set(entries)
    for seq, unit in entries:
        first.setdefault(unit, seq)
    preferred = []
    for unit, seq in sorted(first.items()):
        try:
            wanted = chr(unit).encode(codec)
        except UnicodeEncodeError:
            continue
        if wanted != seq and (wanted, unit) in known:
            preferred.append((unit, wanted))
    return preferred


# ---------------------------------------------------------------------------------------------
# The stream (read by zip/base/text/MappingStream.cpp).
#
#   0x00-0x7F  n+1 entries, each the next sequence and the next unit
#   0x80-0xBF  n+1 entries, each the next sequence, the unit moved by a signed varint delta
#   0xC0-0xFE  n+1 sequences without a mapping skipped
#   0xFF       a length byte and a varint: the sequences go on at that length and value


def varint(value):
    out = bytearray()
    while True:
        byte = value & 0x7F
        value >>= 7
        if value:
            out.append(byte | 0x80)
        else:
            out.append(byte)
            return bytes(out)


def zigzag(delta):
    delta = (delta + 0x8000) % 0x10000 - 0x8000  # units wrap at 16 bits
    return (delta << 1) ^ (delta >> 31) if delta >= 0 else ((-delta) << 1) - 1


def encode_stream(entries):
    out = bytearray()
    length, code, unit = 1, -1, 0
    i = 0
    while i < len(entries):
        seq, u = entries[i]
        value = int.from_bytes(seq, "big")
        if len(seq) != length or value - code - 1 > 4 * 63:
            length = len(seq)
            out.append(0xFF)
            out.append(length)
            out += varint(value)
            code = value - 1
        gap = value - code - 1
        while gap > 0:
            step = min(gap, 63)
            out.append(0xC0 + step - 1)
            gap -= step
        code = value - 1
        # A run of consecutive sequences and units, or a group of deltas.
        j = i
        while (j + 1 < len(entries) and len(entries[j + 1][0]) == length
               and int.from_bytes(entries[j + 1][0], "big") == value + (j + 1 - i)
               and entries[j + 1][1] == u + (j + 1 - i)):
            j += 1
        if u == unit + 1 and j > i or j - i >= 2:
            first = i if u == unit + 1 else i + 1
            if first > i:
                out += bytes([0x80]) + varint(zigzag(u - unit))
            n = j - first + 1
            while n > 0:
                step = min(n, 128)
                out.append(step - 1)
                n -= step
            code, unit = value + (j - i), u + (j - i)
            i = j + 1
            continue
        # Deltas until the next run or gap.
        group = []
        while (i < len(entries) and len(group) < 64 and len(entries[i][0]) == length
               and int.from_bytes(entries[i][0], "big") == code + 1):
            seq, u = entries[i]
            nxt = entries[i + 1] if i + 1 < len(entries) else None
            if group and nxt and nxt[1] == u + 1 and u == unit + 1:
                break
            group.append(varint(zigzag(u - unit)))
            code, unit = code + 1, u
            i += 1
        out.append(0x80 + len(group) - 1)
        for g in group:
            out += g
    return bytes(out)


def decode_stream(stream):
    """The generator's own check that the stream reads back."""
    entries, length, code, unit, i = [], 1, -1, 0, 0

    def read_varint():
        nonlocal i
        value, shift = 0, 0
        while True:
            byte = stream[i]
            i += 1
            value |= (byte & 0x7F) << shift
            shift += 7
            if byte < 0x80:
                return value

    while i < len(stream):
        h = stream[i]
        i += 1
        if h == 0xFF:
            length = stream[i]
            i += 1
            code = read_varint() - 1
        elif h >= 0xC0:
            code += h - 0xC0 + 1
        elif h >= 0x80:
            for _ in range(h - 0x80 + 1):
                z = read_varint()
                delta = (z >> 1) ^ -(z & 1)
                code, unit = code + 1, (unit + delta) & 0xFFFF
                entries.append((code.to_bytes(length, "big"), unit))
        else:
            for _ in range(h + 1):
                code, unit = code + 1, (unit + 1) & 0xFFFF
                entries.append((code.to_bytes(length, "big"), unit))
    return entries


def encode_preferred(preferred):
    out = bytearray()
    last = 0
    for unit, seq in preferred:
        out += varint(unit - last) + bytes([len(seq)]) + seq
        last = unit
    return bytes(out)


def emit_bytes(name, data):
    lines = [f"const uint8_t {name}[{max(len(data), 1)}] = {{"]
    for i in range(0, len(data), 16):
        lines.append("    " + ", ".join(f"0x{b:02X}" for b in data[i : i + 16]) + ",")
    if not data:
        lines.append("    0,")
    lines.append("};")
    return lines


def right_to_left_bits(decode):
    bits = bytearray(32)
    for b in range(256):
        text = decode(bytes([b]))
        if text and len(text) == 1 and unicodedata.bidirectional(text) in ("R", "AL"):
            bits[b >> 3] |= 1 << (b & 7)
    return bytes(bits)


def emit_tables(pages, array, extra=None):
    body, rows, sources = [], [], []
    total = 0
    for cp in sorted(pages):
        kind, decode = pages[cp]
        entries = entries_of(cp, kind, decode)
        stream = encode_stream(entries)
        if decode_stream(stream) != entries:
            sys.exit(f"{cp}: the stream does not read back")
        known = set(entries)
        ascii_compatible = all((bytes([b]), b) in known for b in range(1, 0x80))
        preferred = encode_preferred(preferred_of(decode, entries))
        total += len(stream) + len(preferred)
        longest = max(len(s) for s, _ in entries)
        body.append(f"// {cp}: {decode.source}, {len(entries)} sequences")
        body += emit_bytes(f"kMap{cp}", stream)
        if preferred:
            body += emit_bytes(f"kPreferred{cp}", preferred)
        body.append("")
        pref = f"kPreferred{cp}, sizeof kPreferred{cp}" if preferred else "nullptr, 0"
        rows.append(f"    {{{cp}, {str(ascii_compatible).lower()}, {longest}, kMap{cp}, "
                    f"sizeof kMap{cp}, {pref}}},")
        sources.append(f"//   {cp}: {decode.source}")
    lines = [
        "// Generated by tools/codepages/gen_tables.py; do not edit.",
        f"// {len(pages)} code pages, {total} bytes of mapping data, from:",
        *sources,
        '#include "zip/base/text/CodePageTable.h"',
        "",
        "namespace vexmar {",
        "",
        "namespace {",
        "",
        *body,
        "} // namespace",
        "",
        *(extra or []),
        "// code page, ASCII-compatible, longest sequence, mapping, preferred sequences",
        f"const CodePageTable {array}[] = {{",
        *rows,
        "};",
        f"const uint32_t {array}Count = sizeof {array} / sizeof {array}[0];",
        "",
        "} // namespace vexmar",
        "",
    ]
    return "\n".join(lines), total


def emit_single_byte(pages):
    """SingleByteTables.cpp, with the right-to-left class of 10004's bytes."""
    bits = right_to_left_bits(pages[RIGHT_TO_LEFT_PAGE][1])
    array = emit_bytes(f"kRightToLeft{RIGHT_TO_LEFT_PAGE}", bits)
    extra = [f"// The bytes of {RIGHT_TO_LEFT_PAGE} whose characters are written right to left",
             "// (bidirectional class R or AL), a bit each.",
             "extern " + array[0], *array[1:], ""]
    return emit_tables(pages, "kSingleByteTables", extra)


def emit_multi_byte(pages):
    return emit_tables(pages, "kMultiByteTables")


# kind -> (output file, emitter)
KINDS = {
    "single": ("SingleByteTables.cpp", emit_single_byte),
    "multi": ("MultiByteTables.cpp", emit_multi_byte),
}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", type=pathlib.Path, default=REPO / "zip" / "base" / "text")
    args = parser.parse_args()
    for kind, (filename, emit) in KINDS.items():
        pages = {cp: v for cp, v in CODE_PAGES.items() if v[0].startswith(kind)}
        text, size = emit(pages)
        (args.out / filename).write_text(text)
        print(f"wrote {args.out / filename}: {len(pages)} code pages, {size} bytes of data")


if __name__ == "__main__":
    main()
