#!/usr/bin/env python3
"""End-to-end cases of a launcher branded by vxzip brand, under Wine.

Same options and harness as run_e2e.py; --driver names e2e_picker_driver.exe (for
its screenshot hold). vxzip.exe, beside --launcher, brands a copy of the launcher
for the suite "Acme Tools" of the vendor "Acme", with a GUID, banner, icon and web
address of its own.

brand.languages: the six-language launcher, branded, shows the new name in its
title and welcome text in every language, proposes ...\\Acme Downloads\\Acme Tools\\,
and shows the new banner (a magenta strip, found in the screenshot saved as
screenshots/branded-LANG.png beside the work folder).

brand.suite: builder mode takes a payload whose orvsuite.xml names the new GUID,
and the installer it makes extracts into a folder that holds its own suite
(the new GUID), naming the new vendor and address in its message, and refuses
one that holds the launcher's old suite.
"""
import os
import shutil
import struct
import subprocess
import sys
import zlib

import run_e2e
import run_languages
from run_e2e import Skipped, check, win

NAME, VENDOR = "Acme Tools", "Acme"
GUID = "{A0C1E2F3-0415-4627-8839-4A5B6C7D8E9F}"
URL = "https://acme.example/installers"
MAGENTA = (255, 0, 255)


def banner_bmp(width=578, height=59):
    """A magenta strip with a white band: 24 bits, bottom-up rows."""
    stride = (width * 3 + 3) // 4 * 4
    rows = []
    for y in range(height):
        colour = bytes([255, 255, 255]) if 25 <= y < 30 else bytes([255, 0, 255])  # BGR
        rows.append(colour * width + b"\0" * (stride - 3 * width))
    pixels = b"".join(rows)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 0, 0, 0, 0)
    return b"BM" + struct.pack("<IHHI", 54 + len(pixels), 0, 0, 54) + header + pixels


def icon_ico(side=32):
    dib = struct.pack("<IiiHHIIiiII", 40, side, 2 * side, 1, 32, 0, 0, 0, 0, 0, 0)
    dib += bytes([255, 0, 255, 255]) * side * side + b"\0" * ((side + 31) // 32 * 4 * side)
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32,
                                                       len(dib), 22) + dib


def branded_copy(h, source, role):
    """A copy of `source` branded by vxzip.exe, run under Wine."""
    vxzip = os.path.join(os.path.dirname(h.args.launcher), "vxzip.exe")
    if not os.path.isfile(source) or not os.path.isfile(vxzip):
        raise Skipped(f"needs {source} and {vxzip}")
    exe = h.path(f"{role}_{h.tag}.exe")
    shutil.copyfile(source, exe)
    banner, icon = h.path("banner.bmp"), h.path("icon.ico")
    with open(banner, "wb") as f:
        f.write(banner_bmp())
    with open(icon, "wb") as f:
        f.write(icon_ico())
    output = h.path("vxzip.log")
    brand = h.wine(vxzip, "brand", os.path.basename(exe), "--name", NAME, "--folder", NAME,
                   "--guid", GUID, "--vendor", VENDOR, "--banner", "banner.bmp",
                   "--icon", "icon.ico", "--url", URL, output=output)
    try:
        status = brand.wait(timeout=120)
    except subprocess.TimeoutExpired:
        h.kill_case_processes()
        status = None
    with open(output, "rb") as f:
        check(status == 0, "vxzip brand failed: " + f.read().decode(errors="replace"))
    return exe


def png_rows(path):
    """The RGB rows of a PNG that screenshot.py wrote (8-bit RGB, filter 0)."""
    with open(path, "rb") as f:
        data = f.read()
    width, height = struct.unpack(">II", data[16:24])
    at, idat = 8, b""
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        if kind == b"IDAT":
            idat += data[at + 8:at + 8 + length]
        at += 12 + length
    raw = zlib.decompress(idat)
    return [raw[y * (3 * width + 1) + 1:(y + 1) * (3 * width + 1)] for y in range(height)]


def shows_banner(path):
    """Whether some row of the screen holds a run of 500 magenta pixels."""
    run = bytes(MAGENTA) * 500
    return any(run in row for row in png_rows(path))


def brand_languages(h):
    source = os.path.join(os.path.dirname(h.args.launcher), "PellquinLanguages.exe")
    branded = branded_copy(h, source, "Branded")
    # Nothing remembered for the new suite (brand.suite remembers its folder): the
    # default is proposed. The branded launcher keeps its preferences in the vendor's folder.
    remembered = os.path.join(h.local_appdata(), VENDOR, "Installation Preferences",
                              "Pellrune.ini")
    if os.path.exists(remembered):
        os.remove(remembered)
    proposed = h.local_appdata_win() + f"\\{VENDOR} Downloads\\{NAME}\\"
    for code, (_, locale) in run_languages.LANGUAGES.items():
        env = run_languages.locale_env(h, locale)
        texts = run_languages.LanguageTexts(h.args.strings, code, {
            "PELLQUIN_SUITE_NAME": NAME, "PELLQUIN_SUITE_FOLDER": NAME,
            "PELLQUIN_SUITE_GUID": GUID, "PELLQUIN_UI_LANGUAGES": ""})
        exe = h.path(f"Lang_{code}_{h.tag}.exe")
        shutil.copyfile(branded, exe)
        target = os.path.join(run_languages.screenshot_folder(h), f"branded-{code}.png")
        dialog, saved = run_languages.shown_dialog(h, exe, env, target, code, texts, NAME)
        check(dialog["directory"] == proposed,
              f"[{code}] proposes {dialog['directory']!r}, expected {proposed!r}")
        check(dialog["banner_image"], f"[{code}] the strip holds no bitmap")
        if saved:
            check(shows_banner(target), f"[{code}] the screenshot {target} shows no new banner")
            print(f"screenshot: {target}")


def brand_suite(h):
    # This case's boxes need the driver that answers them.
    h.args.driver = os.path.join(os.path.dirname(h.args.driver), "e2e_driver.exe")
    # Builder mode checks the payload against the launcher it is given: the branded one.
    installer = branded_copy(h, h.args.launcher, "Installer")
    files = run_e2e.payload_files(h.args.setup, GUID, NAME)
    archive = h.path("payload.zip")
    run_e2e.write_payload(archive, files)
    builder = h.launcher_copy("Builder")
    run = h.launch(builder, ["/loadZip", win(archive), "/targetExe", win(installer)])
    check(run.status == 0, f"builder mode refused the new suite's payload: {run.describe()}")

    texts = run_e2e.Texts(h.args.strings, {"PELLQUIN_SUITE_NAME": NAME,
                                           "PELLQUIN_SUITE_FOLDER": NAME,
                                           "PELLQUIN_SUITE_GUID": GUID})
    own = h.path("downloads", "Own")
    os.makedirs(os.path.join(own, "Installer"))
    with open(os.path.join(own, "Installer", "orvsuite.xml"), "wb") as f:
        f.write(run_e2e.ORVSUITE.format(name=NAME, guid=GUID.lower()).encode())
    run = h.launch(installer, ["/extractOnly", win(own)])
    h.expect_status(run, 0)
    # The vendor's texts name the new vendor and its address.
    done = texts.get(152, win(own) + "\\", "Installer").replace("Orvandis", VENDOR)
    done = done.replace("https://www.orvandis.example/web-installers", URL)
    h.expect_box(run, done, texts.title(), icon=False)
    run_e2e.check_files(own, files)

    other = h.path("downloads", "Old")
    os.makedirs(os.path.join(other, "Installer"))
    with open(os.path.join(other, "Installer", "orvsuite.xml"), "wb") as f:
        f.write(run_e2e.ORVSUITE.format(name="Old", guid=h.args.suite_guid).encode())
    run = h.launch(installer, ["/extractOnly", win(other)])
    h.expect_status(run, 1)
    h.expect_box(run, texts.get(145), texts.get(146), icon=False)
    check(not os.path.exists(os.path.join(other, "Installer", "setup.exe")),
          "files were extracted over the old suite")


# Both use the branded launcher's preferences file.
CASES = {"brand.languages": (brand_languages, True), "brand.suite": (brand_suite, True)}

if __name__ == "__main__":
    run_e2e.CASES = CASES
    try:
        sys.exit(run_e2e.main())
    except run_languages.Skipped as reason:
        print(f"skipped: {reason}")
        sys.exit(run_e2e.SKIP)
