#!/usr/bin/env python3
"""End-to-end case of the launcher's banner strip at several screen depths under Wine.

Same options and harness as run_e2e.py; --driver names e2e_picker_driver.exe. For
each depth Xvfb offers (16 and 24 bits; Wine reports 24 as 32), the case starts a
display of that depth, opens the dialog there and checks that the strip shows a
bitmap across the top, 59 pixels high (the bitmap made for it is 578 x 59 pixels,
the strip at 96 dots per inch), and that the launcher's icon loads at both its sizes.
Saves screenshots/banner-DEPTH.png beside the work folder.
"""
import os
import sys

import run_e2e
import run_languages
import xdisplay
from run_e2e import check

DEPTHS = {16: 16, 24: 32}  # Xvfb's depth: the bits per pixel Wine then reports
STRIP = (578, 59)


def start_display(depth):
    xvfb, display = xdisplay.launch_xvfb(depth)
    check(display, f"Xvfb did not start at depth {depth}")
    return xvfb, display


def banner_depths(h):
    for depth, bits in DEPTHS.items():
        xvfb, display = start_display(depth)
        try:
            h.env["DISPLAY"] = display
            exe = h.launcher_copy(f"Depth{depth}")
            target = os.path.join(run_languages.screenshot_folder(h), f"banner-{depth}.png")
            run, saved = run_languages.dialog_with_screenshot(h, exe, {}, target)
        finally:
            xvfb.terminate()
            xvfb.wait(timeout=30)
        h.expect_status(run, 0)
        shown = run.of("dialog_shown")
        check(shown, f"depth {depth}: the dialog was never shown: {run.describe()}")
        dialog = shown[0]
        check(dialog["screen_bits"] == bits,
              f"depth {depth}: Wine reports {dialog['screen_bits']} bits per pixel")
        check(dialog["banner_image"], f"depth {depth}: the strip holds no bitmap")
        check(dialog["icon"], f"depth {depth}: the launcher's icon does not load")
        # The strip spans the dialog's client width (which depends on the dialog font),
        # 59 pixels high; the 578-pixel bitmap is the one made for it.
        size = (dialog["banner_width"], dialog["banner_height"])
        check(size[1] == STRIP[1] and size[0] >= STRIP[0],
              f"depth {depth}: the strip is {size}, expected {STRIP[1]} high and at least "
              f"{STRIP[0]} wide")
        if saved:
            print(f"screenshot: {target}")


CASES = {"banner.depths": (banner_depths, False)}

if __name__ == "__main__":
    run_e2e.CASES = CASES
    sys.exit(run_e2e.main())
