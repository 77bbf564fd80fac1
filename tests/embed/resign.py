#!/usr/bin/env python3
"""A signed program gets a payload with vxzip embed and is signed again: the new
signature verifies, so the certificate table and the resource directory describe
the rewritten file. Usage: resign.py VXZIP FIXTURE_DIR (exit 77: no tools or fixtures)."""
import os
import shutil
import subprocess
import sys
import tempfile
import zipfile

VXZIP, FIXTURES = sys.argv[1], sys.argv[2]


def run(*cmd, ok=True):
    result = subprocess.run(cmd, capture_output=True)
    if ok and result.returncode != 0:
        sys.exit(f"{' '.join(cmd)} failed:\n{(result.stdout + result.stderr).decode()[-3000:]}")
    return result.returncode


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
        for program in programs:
            signed = os.path.join(work, "signed.exe")
            resigned = os.path.join(work, "resigned.exe")
            for f in (signed, resigned):
                if os.path.exists(f):
                    os.remove(f)
            run("osslsigncode", "sign", "-certs", cert, "-key", key, "-in", program, "-out", signed)
            run("osslsigncode", "verify", "-CAfile", cert, signed)
            run(VXZIP, "embed", signed, payload)
            if run("osslsigncode", "verify", "-CAfile", cert, signed, ok=False) == 0:
                sys.exit(f"the old signature still verifies after embedding into {program}")
            run("osslsigncode", "sign", "-certs", cert, "-key", key, "-in", signed, "-out", resigned)
            run("osslsigncode", "verify", "-CAfile", cert, resigned)
            run(VXZIP, "test", resigned)
            print(f"{os.path.basename(program)}: signed, embedded, signed again: ok")
    return 0


sys.exit(main())
