#!/usr/bin/env python3
"""End-to-end cases of the launcher's check of its own signature under Wine.

Same options and harness as run_e2e.py (with e2e_driver.exe). The cases sign a copy
of the launcher with osslsigncode and a certificate made here with openssl.
"""
import os
import shutil
import subprocess
import sys

import run_e2e
from run_e2e import Skipped, check, win

REFUSED_TEXT = 142
REFUSED_CAPTION = 143


def make_certificate(h):
    key, cert = h.path("signer.key"), h.path("signer.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key,
                    "-out", cert, "-days", "2", "-subj", "/CN=Pellquin Test Signer",
                    "-addext", "extendedKeyUsage=codeSigning"],
                   check=True, capture_output=True)
    return key, cert


def sign(h, source, target, key, cert):
    subprocess.run(["osslsigncode", "sign", "-certs", cert, "-key", key, "-n", "Pellquin",
                    "-in", source, "-out", target], check=True, capture_output=True)
    verify = subprocess.run(["osslsigncode", "verify", "-CAfile", cert, "-in", target],
                            capture_output=True, text=True)
    check(verify.returncode == 0, f"osslsigncode does not verify its own signature: "
                                  f"{verify.stdout}{verify.stderr}")


def tamper(source, target):
    """A copy with one byte of the signed image changed (in a text of the resources)."""
    with open(source, "rb") as f:
        data = bytearray(f.read())
    at = data.find("Orvandis".encode("utf-16-le"))
    check(at > 0, "no text to change in the launcher")
    data[at] ^= 0x01
    with open(target, "wb") as f:
        f.write(data)


def expect_refusal(h, run):
    h.expect_status(run, 1)
    h.expect_box(run, h.texts.get(REFUSED_TEXT), h.texts.get(REFUSED_CAPTION), icon=True)
    check(not run.dialog_visible(), "the tampered launcher showed its dialog")


def signed_then_tampered(h):
    if not shutil.which("osslsigncode") or not shutil.which("openssl"):
        raise Skipped("osslsigncode or openssl is missing")
    key, cert = make_certificate(h)
    plain = h.launcher_copy("Plain")
    signed = h.path(f"Signed_{h.tag}.exe")
    sign(h, plain, signed, key, cert)

    # Signed and intact: it runs. (Wine does not ask that the certificate chain to a
    # trusted root; on Windows this certificate would first have to be trusted.)
    run = h.launch(signed, [], driver_options=["--exit"])
    h.expect_status(run, 0)
    check(run.dialog_visible() and not run.boxes(), f"the signed launcher was refused: "
                                                    f"{run.describe()}")

    # Changed after signing: refused whatever the certificate.
    tampered = h.path(f"Tampered_{h.tag}.exe")
    tamper(signed, tampered)
    expect_refusal(h, h.launch(tampered, [], driver_options=["--exit"]))
    # Quiet, the refusal is only a status and a line of the log.
    directory, log = h.path("quiet"), h.path("quiet.log")
    run = h.launch(tampered, ["/q", "/extractOnly", run_e2e.win(directory), "/log",
                              run_e2e.win(log)])
    h.expect_status(run, 1)
    check(not run.boxes() and not run.dialog_visible(), f"a quiet refusal showed itself: "
                                                        f"{run.describe()}")
    check(not os.path.exists(directory), "a refused launcher wrote into its folder")
    with open(log, encoding="utf-8") as f:
        check(h.texts.get(REFUSED_TEXT) in f.read(), "the log does not name the refusal")

    # Unsigned, as development builds and fresh builder outputs are: it runs.
    run = h.launch(plain, [], driver_options=["--exit"])
    h.expect_status(run, 0)
    check(run.dialog_visible() and not run.boxes(), f"the unsigned launcher was refused: "
                                                    f"{run.describe()}")


def system_program(h, name, pe32_plus):
    """A program of Wine's own in the prefix, of the given bitness."""
    windows = os.path.join(h.args.prefix, "drive_c", "windows")
    wow = os.path.join(windows, "syswow64")
    folder = os.path.join(windows, "system32" if pe32_plus or not os.path.isdir(wow) else "syswow64")
    return os.path.join(folder, name)


def is_pe32_plus(path):
    with open(path, "rb") as f:
        data = f.read(4096)
    pe = int.from_bytes(data[60:64], "little")
    return data[pe + 24:pe + 26] == b"\x0b\x02"


def planted_wintrust(h):
    """A wintrust.dll beside the launcher, with Wine told to prefer it to its own (as
    Windows takes a library that is no KnownDLL from beside the program): never loaded,
    neither at start-up nor when the signature is checked."""
    library = os.path.join(os.path.dirname(h.args.driver), "e2e_wintrust.dll")
    check(os.path.isfile(library), f"no stand-in library at {library}")
    shutil.copyfile(library, h.path("wintrust.dll"))
    marker = h.path("wintrust-loaded")
    overrides = os.environ.get("WINEDLLOVERRIDES", "mscoree,mshtml=")
    env = {"WINEDLLOVERRIDES": overrides + ";wintrust=n,b", "E2E_DLL_MARKER": win(marker)}

    # The stand-in does leave its marker when something loads it.
    rundll = system_program(h, "rundll32.exe", is_pe32_plus(library))
    control = h.wine(rundll, win(h.path("wintrust.dll")) + ",WinVerifyTrust",
                     output=h.path("rundll.log"), env=dict(h.env, **env))
    control.wait(timeout=120)
    check(os.path.exists(marker), "the stand-in wintrust.dll left no marker when loaded")
    os.remove(marker)

    launchers = [h.launcher_copy("Plain")]
    if shutil.which("osslsigncode") and shutil.which("openssl"):
        key, cert = make_certificate(h)
        signed = h.path(f"Signed_{h.tag}.exe")
        sign(h, launchers[0], signed, key, cert)
        launchers.append(signed)
    else:
        print("osslsigncode or openssl is missing: only the unsigned launcher is tried")
    for launcher in launchers:
        run = h.launch(launcher, [], driver_options=["--exit"], env_extra=env)
        h.expect_status(run, 0)
        check(run.dialog_visible() and not run.boxes(),
              f"{os.path.basename(launcher)} did not run as usual: {run.describe()}")
        check(not os.path.exists(marker),
              f"{os.path.basename(launcher)} loaded the wintrust.dll beside it")


CASES = {
    "signature.signed_then_tampered": (signed_then_tampered, False),
    "signature.planted_wintrust": (planted_wintrust, False),
}

if __name__ == "__main__":
    run_e2e.CASES = CASES
    sys.exit(run_e2e.main())
