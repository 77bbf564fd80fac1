#!/usr/bin/env python3
"""End-to-end cases of the launcher in each of its UI languages under Wine.

Same options and harness as run_e2e.py; --driver names e2e_picker_driver.exe (for
its screenshot hold), and the launcher run is PellquinLanguages.exe beside
--launcher, built with all six languages offered. Wine takes the user language
from the locale of each process, so every run gets LANG and LC_ALL, with locales
compiled here by localedef when the system has none of them.

Each case checks the dialog's texts, the usage box and a message box in its
language and saves a screenshot of the dialog as screenshots/dialog-LANG.png
beside the work folder.
"""
import json
import os
import re
import shutil
import subprocess
import sys
import threading
import time

import run_e2e
import screenshot
from run_e2e import SKIP, check, win

LANGUAGES = {
    "de": (1031, "de_DE"),
    "en": (1033, "en_US"),
    "fr": (1036, "fr_FR"),
    "ja": (1041, "ja_JP"),
    "ko": (1042, "ko_KR"),
    "zh": (2052, "zh_CN"),
}
DIALOG_TEXTS = {"start": 137, "exit": 157, "browse": 158, "intro": 160, "label": 162}


class Skipped(Exception):
    pass


class LanguageTexts:
    def __init__(self, strings_json, code, defines):
        with open(strings_json, encoding="utf-8") as f:
            table = json.load(f)["strings"]
        self.by_id = {}
        for entry in table:
            text = entry.get(code, entry.get("all"))
            for name, value in defines.items():
                text = text.replace("${" + name + "}", value)
            self.by_id[entry["id"]] = text

    def get(self, string_id, *inserts):
        return re.sub(r"%([1-9])(![a-z]+!)?", lambda m: str(inserts[int(m.group(1)) - 1]),
                      self.by_id[string_id])

    def title(self):
        return self.get(132, self.get(133))


def locale_env(h, locale):
    """LANG and LC_ALL for `locale`, compiled into a folder of this run when needed."""
    name = locale + ".UTF-8"
    if subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.lower().find(
            name.lower().replace("-", "")) >= 0:
        return {"LANG": name, "LC_ALL": name}
    if not shutil.which("localedef"):
        raise Skipped(f"no locale {name} and no localedef")
    folder = os.path.join(h.args.work, "locales")
    os.makedirs(folder, exist_ok=True)
    if not os.path.isdir(os.path.join(folder, name)):
        made = subprocess.run(["localedef", "-i", locale, "-f", "UTF-8", os.path.join(folder, name)],
                              capture_output=True, text=True)
        if not os.path.isdir(os.path.join(folder, name)):
            raise Skipped(f"localedef could not make {name}: {made.stderr.strip()}")
    return {"LANG": name, "LC_ALL": name, "LOCPATH": folder}


def screen_grab(h, target):
    return screenshot.grab(h.env["DISPLAY"], target)


def screenshot_folder(h):
    folder = os.path.join(os.path.dirname(os.path.abspath(h.args.work)), "screenshots")
    os.makedirs(folder, exist_ok=True)
    return folder


def dialog_with_screenshot(h, exe, env, target):
    ready, release = h.path("shot.ready"), h.path("shot.release")
    for path in (ready, release):
        if os.path.exists(path):
            os.remove(path)
    taken = []

    def grab():
        deadline = time.time() + 120
        while time.time() < deadline and not os.path.exists(ready):
            time.sleep(0.1)
        if os.path.exists(ready):
            time.sleep(1.0)  # let the dialog finish painting
            taken.append(screen_grab(h, target))
        open(release, "w").close()

    grabber = threading.Thread(target=grab)
    grabber.start()
    try:
        run = h.launch(exe, [], driver_options=["--shot-ready", win(ready), "--shot-release",
                                                win(release)], env_extra=env)
    finally:
        open(release, "w").close()
        grabber.join()
    return run, bool(taken and taken[0])


def shown_dialog(h, exe, env, target, code, texts, name):
    """Runs the launcher to its dialog with a screenshot saved as `target` (any older
    one removed first), and checks the title and the welcome text naming the suite
    `name`. Returns the dialog's event and whether the screenshot was saved."""
    if os.path.exists(target):
        os.remove(target)
    run, saved = dialog_with_screenshot(h, exe, env, target)
    h.expect_status(run, 0)
    shown = run.of("dialog_shown")
    check(shown, f"[{code}] the dialog was never shown: {run.describe()}")
    dialog = shown[0]
    check(dialog["title"] == texts.title(), f"[{code}] title {dialog['title']!r}, "
                                            f"expected {texts.title()!r}")
    welcome = texts.get(161, name)
    check(run_e2e.same_text(dialog["welcome"], welcome),
          f"[{code}] welcome {dialog['welcome']!r}, expected {welcome!r}")
    return dialog, saved


def expect_box(h, run, text, caption, code):
    """One box with `text` and `caption`, an icon and one button (Wine names it in the
    user's language)."""
    boxes = run.boxes()
    check(len(boxes) == 1, f"[{code}] expected one message box: {run.describe()}")
    box = boxes[0]
    check(run_e2e.same_text(box["text"], text), f"[{code}] box text {box['text']!r}, "
                                                f"expected {text!r}")
    check(box["caption"] == caption, f"[{code}] box caption {box['caption']!r}, "
                                     f"expected {caption!r}")
    check(box["icon"] and len(box["buttons"]) == 1, f"[{code}] box {box}")


def in_language(code):
    def case(h):
        language_id, locale = LANGUAGES[code]
        exe_source = os.path.join(os.path.dirname(h.args.launcher), "PellquinLanguages.exe")
        if not os.path.isfile(exe_source):
            raise Skipped(f"no {exe_source}")
        env = locale_env(h, locale)
        texts = LanguageTexts(h.args.strings, code, {
            "PELLQUIN_SUITE_NAME": h.args.suite_name, "PELLQUIN_SUITE_FOLDER": h.args.suite_folder,
            "PELLQUIN_SUITE_GUID": h.args.suite_guid, "PELLQUIN_UI_LANGUAGES": ""})
        exe = h.path(f"Lang_{h.tag}.exe")
        shutil.copyfile(exe_source, exe)

        # The dialog, and its picture.
        target = os.path.join(screenshot_folder(h), f"dialog-{code}.png")
        dialog, saved = shown_dialog(h, exe, env, target, code, texts, texts.get(133))
        for key, string_id in DIALOG_TEXTS.items():
            check(run_e2e.same_text(dialog[key], texts.get(string_id)),
                  f"[{code}] {key} {dialog[key]!r}, expected {texts.get(string_id)!r}")
        if saved:
            print(f"screenshot: {target}")

        # The boxes use the other driver, which answers them.
        picker_driver = h.args.driver
        h.args.driver = os.path.join(os.path.dirname(picker_driver), "e2e_driver.exe")
        try:
            usage = h.launch(exe, ["/?"], env_extra=env)
            h.expect_status(usage, 1)
            expect_box(h, usage, texts.get(164, os.path.basename(exe)[:-4]),
                       texts.title() + " " + texts.get(165), code)

            refused = h.launch(exe, ["/extractOnly", "C:\\" + "t" * 270], env_extra=env)
            h.expect_status(refused, 1)
            expect_box(h, refused, texts.get(166), texts.get(139), code)
        finally:
            h.args.driver = picker_driver
        check(language_id in (1031, 1033, 1036, 1041, 1042, 2052), "unknown language")
    return case


CASES = {f"languages.{code}": (in_language(code), False) for code in LANGUAGES}

if __name__ == "__main__":
    run_e2e.CASES = CASES
    try:
        sys.exit(run_e2e.main())
    except Skipped as reason:
        print(f"skipped: {reason}")
        sys.exit(SKIP)
