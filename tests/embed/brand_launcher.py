#!/usr/bin/env python3
"""vxzip brand on the MinGW-built launchers in small: every bad input is refused
with one line, status 1 and the executable byte for byte as it was; a good brand
changes the strings of every language, the banner, the icon group and the version
resource, as 7-Zip lists and extracts them from a stripped PE32+ copy; and the
release order, brand, embed, sign, gives a launcher that osslsigncode verifies.
Usage: brand_launcher.py VXZIP FIXTURE_DIR (exit 77: no fixtures or tools)."""
import os
import shutil
import struct
import sys
import tempfile
import zipfile

from commands import read, run

VXZIP, FIXTURES = sys.argv[1], sys.argv[2]
NEW_GUID = "{0A1B2C3D-4E5F-4061-8273-94A5B6C7D8E9}"


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def bmp(width=578, height=59, bits=24, cut=0):
    stride = (width * bits + 31) // 32 * 4
    pixels = bytes([40, 90, 200]) * (stride * height // 3) + b"\0" * (stride * height % 3)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(pixels), 0, 0, 0, 0)
    data = b"BM" + struct.pack("<IHHI", 14 + 40 + len(pixels), 0, 0, 54) + header + pixels
    return data[:len(data) - cut]


def ico(sizes=(16, 32), kind=1, cut=0):
    images = []
    for side in sizes:
        dib = struct.pack("<IiiHHIIiiII", 40, side, 2 * side, 1, 32, 0, 0, 0, 0, 0, 0)
        images.append(dib + bytes([0, 160, 80, 255]) * side * side + b"\0" * ((side + 31) // 32 * 4 * side))
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, kind, len(images))
    for side, image in zip(sizes, images):
        directory += struct.pack("<BBBBHHII", side % 256, side % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    data = directory + b"".join(images)
    return data[:len(data) - cut]


def expect_refusal(exe, args, message):
    before = read(exe)
    result = run(VXZIP, "brand", exe, *args, ok=False)
    err = result.stderr.decode()
    lines = [line for line in err.splitlines() if line]
    if result.returncode != 1 or message not in err or len(lines) != 1:
        sys.exit(f"vxzip brand {args}: status {result.returncode}, expected 1 and one line "
                 f"with {message!r}:\n{err}")
    if read(exe) != before:
        sys.exit(f"vxzip brand {args} changed the executable although it refused")
    if sorted(os.listdir(os.path.dirname(exe))) != [os.path.basename(exe)]:
        sys.exit(f"vxzip brand {args} left files behind")


def bad_inputs(work):
    files = {
        "short.bmp": bmp(cut=7), "deep.bmp": bmp(bits=2), "wide.bmp": bmp(width=5000),
        "notbmp.bmp": b"GIF89a" + b"\0" * 64,
        "short.ico": ico(cut=9), "cursor.ico": ico(kind=2), "empty.ico": ico(sizes=()),
    }
    for name, data in files.items():
        write(os.path.join(work, name), data)
    f = lambda name: os.path.join(work, name)
    return [
        (["--guid", "not-a-guid"], "is not a GUID in braces"),
        (["--guid", NEW_GUID[1:-1]], "is not a GUID in braces"),
        (["--guid", NEW_GUID[:-2] + "G}"], "is not a GUID in braces"),
        (["--folder", "Acme\\Tools\\2026"], "more than two levels"),
        (["--folder", "Acme\\\\Tools"], "empty part"),
        (["--folder", "\\Acme"], "empty part"),
        (["--folder", "Acme Tools."], "ends with a dot or a space"),
        (["--folder", "Acme Tools "], "ends with a dot or a space"),
        (["--folder", "Acme:Tools"], "a character Windows reserves"),
        (["--folder", "Acme\\com1.txt"], "device name (COM1)"),
        (["--folder", "aux"], "device name (AUX)"),
        (["--folder", "x" * 123], "would refuse every download folder beyond 122"),
        (["--name", "x" * 123], "would refuse every download folder beyond 122"),
        (["--name", ""], "--name is empty"),
        (["--name", "Acme\tTools"], "control character"),
        (["--vendor", "Acme/Co"], "a character Windows reserves"),
        (["--vendor", "NUL"], "device name"),
        (["--languages", "1031,,1033"], "not a list of language ids"),
        (["--languages", "70000"], "not a list of language ids"),
        (["--url", "ftp://acme.example/"], "not an http:// or https:// address"),
        (["--url", "https://acme.example/a b"], "not an http:// or https:// address"),
        (["--version", "1.2.3"], "not of the form A.B.C.D"),
        (["--version", "1.2.3.70000"], "not of the form A.B.C.D"),
        (["--banner", f("short.bmp")], "cut short"),
        (["--banner", f("deep.bmp")], "colour depth"),
        (["--banner", f("wide.bmp")], "too large for a banner"),
        (["--banner", f("notbmp.bmp")], "not a BMP file"),
        (["--banner", f("absent.bmp")], "cannot read the file"),
        (["--icon", f("short.ico")], "outside the icon file"),
        (["--icon", f("cursor.ico")], "not an icon file"),
        (["--icon", f("empty.ico")], "holds no images"),
    ]


def strings_of(exe, language):
    text = run("7zz", "e", "-so", exe, f".rsrc/{language}/string.txt").stdout.decode("utf-16-le")
    return dict(line.split("\t", 1) for line in text.splitlines() if "\t" in line)


def check_branded(work, exe, banner, icon):
    stripped = os.path.join(work, "stripped.exe")
    run("x86_64-w64-mingw32-strip", "-o", stripped, exe)
    listing = run("7zz", "l", stripped).stdout.decode()
    for name in (".rsrc/0/BITMAP/IDB_TOPSTRIP0.bmp", ".rsrc/0/GROUP_ICON/128",
                 ".rsrc/1033/string.txt", ".rsrc/1031/string.txt", ".rsrc/1031/version.txt"):
        if name not in listing:
            sys.exit(f"7-Zip does not list {name}:\n{listing}")
    for language in (1033, 1031):
        strings = strings_of(stripped, language)
        expected = {"133": "Acme Tools", "134": "Acme Tools", "136": NEW_GUID,
                    "163": "1031,1033", "169": "Acme", "170": "Acme Downloads", "171": "Acme",
                    "1": "probe"}
        for sid, text in expected.items():
            if strings.get(sid) != text:
                sys.exit(f"string {sid} of {language} is {strings.get(sid)!r}, not {text!r}")
        if "https://acme.example/get" not in strings["152"] or "Acme" not in strings["152"] \
                or "Orvandis" in strings["152"]:
            sys.exit(f"string 152 of {language} is {strings['152']!r}")
    # 7-Zip gives the bitmap back as a file, with a file header of its own making:
    # the banner as it was given.
    if run("7zz", "e", "-so", stripped, ".rsrc/0/BITMAP/IDB_TOPSTRIP0.bmp").stdout != banner:
        sys.exit("the banner 7-Zip extracts is not the one given")
    icons = [line for line in listing.splitlines() if ".rsrc/0/ICON/" in line]
    if len(icons) != 3:  # the two new images and the other group's icon
        sys.exit(f"expected three icons:\n{listing}")
    version = run("7zz", "e", "-so", stripped, ".rsrc/1031/version.txt").stdout.decode("utf-16-le")
    for text in ('"Acme Corporation"', '"Acme Tools"', '"Acme Tools web-based installer"',
                 '"2.1.0.7"', "2,1,0,7", '"Copyright (C) Acme Corporation"'):
        if text not in version:
            sys.exit(f"the version resource lacks {text}:\n{version}")


def main():
    programs = {arch: os.path.join(FIXTURES, f"probe-launcher-{arch}.exe")
                for arch in ("pe32", "pe32plus")}
    tools = ("7zz", "osslsigncode", "openssl", "x86_64-w64-mingw32-strip")
    if not all(os.path.exists(p) for p in programs.values()) or \
            not all(shutil.which(t) for t in tools):
        print("needs the MinGW-built launchers in small, " + ", ".join(tools))
        return 77
    with tempfile.TemporaryDirectory() as work:
        target = os.path.join(work, "target")
        os.mkdir(target)
        exe = os.path.join(target, "launcher.exe")
        shutil.copyfile(programs["pe32plus"], exe)
        for args, message in bad_inputs(work):
            expect_refusal(exe, args, message)
        key, cert = os.path.join(work, "key.pem"), os.path.join(work, "cert.pem")
        run("openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key,
            "-out", cert, "-days", "2", "-subj", "/CN=Pellquin test signer")
        signed = os.path.join(work, "signed.exe")
        run("osslsigncode", "sign", "-certs", cert, "-key", key, "-in", exe, "-out", signed)
        os.replace(signed, exe)
        expect_refusal(exe, ["--name", "Acme Tools"], "signed; brand it before signing it")
        print("bad inputs: refused, executable unchanged")

        banner, icon = os.path.join(work, "banner.bmp"), os.path.join(work, "icon.ico")
        write(banner, bmp())
        write(icon, ico())
        payload = os.path.join(work, "payload.zip")
        with zipfile.ZipFile(payload, "w", zipfile.ZIP_DEFLATED) as z:
            z.writestr("Installer/setup.exe", b"MZ" * 500)
            z.writestr("Installer/orvsuite.xml", f'<suiteid packageguid="{NEW_GUID}"/>\n')
        for arch, program in programs.items():
            shutil.copyfile(program, exe)
            run(VXZIP, "brand", exe, "--name", "Acme Tools", "--folder", "Acme Tools",
                "--guid", NEW_GUID, "--languages", "1031,1033", "--banner", banner,
                "--icon", icon, "--vendor", "Acme", "--url", "https://acme.example/get",
                "--company", "Acme Corporation", "--version", "2.1.0.7")
            if arch == "pe32plus":
                check_branded(work, exe, read(banner), icon)
            # The payload names the new GUID: embed takes it as the launcher's own.
            run(VXZIP, "embed", exe, payload)
            released = os.path.join(work, f"released-{arch}.exe")
            run("osslsigncode", "sign", "-certs", cert, "-key", key, "-in", exe, "-out", released)
            run("osslsigncode", "verify", "-CAfile", cert, released)
            info = run(VXZIP, "info", released).stdout.decode()
            if "Acme Tools" not in info or NEW_GUID not in info or "this launcher's suite" not in info:
                sys.exit(f"vxzip info of the released launcher:\n{info}")
            print(f"{arch}: branded, embedded, signed and verified")
    return 0


sys.exit(main())
