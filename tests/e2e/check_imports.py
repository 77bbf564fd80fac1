#!/usr/bin/env python3
"""Fails when an executable imports a library that Windows might load from the
executable's own folder.

  check_imports.py EXE

Windows takes the libraries it lists as KnownDLLs from its system folder whatever
lies beside a program; any other library named in the import table is searched
for in the program's folder first, before the program's own code runs, so a file
of that name planted beside it (in Downloads, say) runs with the user's rights.
comctl32.dll is allowed too: version 6 arrives through the manifest, from the
system's side-by-side store. The import table and the delay-load table are read
with the small PE reader below. Exit status 0 passes, 1 fails, 77 skips (no file).
"""
import struct
import sys

SKIP = 77

KNOWN_DLLS = {
    "advapi32.dll", "clbcatq.dll", "combase.dll", "comdlg32.dll", "coml2.dll", "difxapi.dll",
    "gdi32.dll", "gdiplus.dll", "imagehlp.dll", "imm32.dll", "kernel32.dll", "msctf.dll",
    "msvcrt.dll", "normaliz.dll", "nsi.dll", "ole32.dll", "oleaut32.dll", "psapi.dll",
    "rpcrt4.dll", "sechost.dll", "setupapi.dll", "shcore.dll", "shell32.dll", "shlwapi.dll",
    "user32.dll", "wldap32.dll", "ws2_32.dll",
    # Loaded into every process before the program's imports are looked at.
    "ntdll.dll",
}
ALLOWED = KNOWN_DLLS | {"comctl32.dll"}

IMPORT_DIRECTORY = 1
DELAY_IMPORT_DIRECTORY = 13


class BadImage(Exception):
    pass


def u16(data, at):
    return struct.unpack_from("<H", data, at)[0]


def u32(data, at):
    return struct.unpack_from("<I", data, at)[0]


class PeImage:
    def __init__(self, data):
        self.data = data
        if len(data) < 0x40 or data[:2] != b"MZ":
            raise BadImage("no MZ header")
        pe = u32(data, 0x3C)
        if data[pe:pe + 4] != b"PE\0\0":
            raise BadImage("no PE signature")
        coff = pe + 4
        sections = u16(data, coff + 2)
        optional_size = u16(data, coff + 16)
        optional = coff + 20
        magic = u16(data, optional)
        if magic == 0x10B:
            directories, self.pe32_plus = optional + 96, False
        elif magic == 0x20B:
            directories, self.pe32_plus = optional + 112, True
        else:
            raise BadImage(f"unknown optional header magic {magic:#x}")
        count = u32(data, directories - 4)
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i)
                            for i in range(min(count, 16))]
        table = optional + optional_size
        self.sections = []
        for i in range(sections):
            at = table + 40 * i
            virtual_size, virtual_address, raw_size, raw_offset = struct.unpack_from(
                "<IIII", data, at + 8)
            self.sections.append((virtual_address, max(virtual_size, raw_size), raw_offset,
                                  raw_size))

    def offset(self, rva):
        for address, size, raw_offset, raw_size in self.sections:
            if address <= rva < address + size and rva - address < raw_size:
                return raw_offset + rva - address
        raise BadImage(f"RVA {rva:#x} lies in no section")

    def text(self, rva):
        at = self.offset(rva)
        end = self.data.index(b"\0", at)
        return self.data[at:end].decode("ascii", "replace")

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def descriptor_names(self, index, size, name_field):
        """The library names of one table of descriptors, `size` bytes each, which ends
        with an all-zero descriptor."""
        names = []
        rva, _ = self.directory(index)
        at = self.offset(rva) if rva else None
        while at is not None:
            descriptor = struct.unpack_from(f"<{size // 4}I", self.data, at)
            if not any(descriptor):
                break
            names.append(self.text(descriptor[name_field]))
            at += size
        return names

    def imported_libraries(self):
        return (self.descriptor_names(IMPORT_DIRECTORY, 20, 3) +
                self.descriptor_names(DELAY_IMPORT_DIRECTORY, 32, 1))


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    try:
        with open(sys.argv[1], "rb") as f:
            data = f.read()
    except FileNotFoundError:
        print(f"no executable at {sys.argv[1]}: skipped")
        return SKIP
    try:
        names = PeImage(data).imported_libraries()
    except (BadImage, struct.error, ValueError) as error:
        print(f"FAIL: {sys.argv[1]} cannot be read as a PE image: {error}")
        return 1
    print(f"{sys.argv[1]} imports: {', '.join(names)}")
    lowered = [n.lower() for n in names]
    if "kernel32.dll" not in lowered:
        print("FAIL: no kernel32.dll among the imports: the import table was not read right")
        return 1
    outside = sorted({n for n in names if n.lower() not in ALLOWED})
    if outside:
        print(f"FAIL: libraries that may be loaded from beside the program: {', '.join(outside)}")
        return 1
    print("PASS")
    return 0


if __name__ == "__main__":
    sys.exit(main())
