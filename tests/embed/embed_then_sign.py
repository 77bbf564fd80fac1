#!/usr/bin/env python3
"""The release order, build, embed, then sign: vxzip embed refuses a program that
is already signed (status 1, the file byte for byte as it was), and a program
given its payload first signs and verifies, and its payload still tests. A ZIP
whose Zip64 record puts the directory at 2^64 - 4 is refused the same way.
Usage: embed_then_sign.py VXZIP FIXTURE_DIR (exit 77: no tools or fixtures)."""
import os
import shutil
import struct
import sys
import tempfile
import zipfile

from commands import read, run

VXZIP, FIXTURES = sys.argv[1], sys.argv[2]


def expect_refusal(exe, payload, message):
    before = read(exe)
    result = run(VXZIP, "embed", exe, payload, ok=False)
    if result.returncode != 1:
        sys.exit(f"vxzip embed gave status {result.returncode}, not 1, for {payload}:\n"
                 f"{result.stderr.decode()[-3000:]}")
    if message.encode() not in result.stdout + result.stderr:
        sys.exit(f"vxzip embed does not say {message!r}:\n{result.stderr.decode()[-3000:]}")
    if read(exe) != before:
        sys.exit(f"{exe} changed although vxzip embed refused it")
    if sorted(os.listdir(os.path.dirname(exe))) != [os.path.basename(exe)]:
        sys.exit(f"vxzip embed left files behind: {os.listdir(os.path.dirname(exe))}")


def wrapping_zip64(path):
    record = b"PK\x06\x06" + struct.pack("<QHHIIQQQQ", 44, 45, 45, 0, 0, 1, 1, 4, 2**64 - 4)
    locator = b"PK\x06\x07" + struct.pack("<IQI", 0, 8, 1)
    end = b"PK\x05\x06" + struct.pack("<HHHHIIH", *([0xFFFF] * 4), 0xFFFFFFFF, 0xFFFFFFFF, 0)
    with open(path, "wb") as f:
        f.write(b"X" * 8 + record + locator + end)


def main():
    programs = [os.path.join(FIXTURES, f"probe-plain-{arch}.exe") for arch in ("pe32", "pe32plus")]
    programs = [p for p in programs if os.path.exists(p)]
    if not programs or not shutil.which("osslsigncode") or not shutil.which("openssl"):
        print("needs the MinGW-built programs, osslsigncode and openssl")
        return 77
    with tempfile.TemporaryDirectory() as work:
        key, cert = os.path.join(work, "key.pem"), os.path.join(work, "cert.pem")
        run("openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key,
            "-out", cert, "-days", "2", "-subj", "/CN=Pellquin test signer")
        payload = os.path.join(work, "payload.zip")
        with zipfile.ZipFile(payload, "w", zipfile.ZIP_DEFLATED) as z:
            z.writestr("Installer/setup.exe", b"MZ" * 5000)
            # The suite GUID the MinGW-built programs carry as string 136.
            z.writestr("Installer/orvsuite.xml",
                       b'<suiteid packageguid="{6F1D2C3B-0A49-4E58-8B67-9C0D1E2F3A4B}"/>\n')
        wrapping = os.path.join(work, "wrapping.zip")
        wrapping_zip64(wrapping)
        target = os.path.join(work, "target")
        for program in programs:
            shutil.rmtree(target, ignore_errors=True)
            os.mkdir(target)
            exe = os.path.join(target, "launcher.exe")
            shutil.copyfile(program, exe)
            expect_refusal(exe, wrapping, "not a ZIP archive")

            signed = os.path.join(target, "launcher.exe")
            os.remove(exe)
            run("osslsigncode", "sign", "-certs", cert, "-key", key, "-in", program, "-out", signed)
            expect_refusal(signed, payload,
                           "The executable is signed; embed the payload before signing it.")

            os.remove(signed)
            shutil.copyfile(program, exe)
            run(VXZIP, "embed", exe, payload)
            released = os.path.join(work, "released.exe")
            if os.path.exists(released):
                os.remove(released)
            run("osslsigncode", "sign", "-certs", cert, "-key", key, "-in", exe, "-out", released)
            run("osslsigncode", "verify", "-CAfile", cert, released)
            run(VXZIP, "test", released)
            print(f"{os.path.basename(program)}: signed refused, embedded then signed: ok")
    return 0


sys.exit(main())
