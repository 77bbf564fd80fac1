#!/usr/bin/env python3
"""End-to-end cases of the launcher's Browse button and folder picker under Wine.

Same options and harness as run_e2e.py; --driver names e2e_picker_driver.exe.
"""
import os
import shutil
import sys

import run_e2e
from run_e2e import check, win

TITLE = 144          # the picker's caption
CREATE_QUESTION = 9611
LABELS = {"field_label": 9601, "look_in": 9602, "select": 9603, "cancel": 9604}
RESERVED_WORD = 9505
INVALID_CHARACTER = 9506


def default_directory(h):
    return h.default_directory()


def downloads_root(h):
    return os.path.join(h.local_appdata(), "Orvandis Downloads")


def start_clean(h):
    """No preferences, so the dialog proposes its default folder, which does not exist."""
    if os.path.exists(h.preferences_path()):
        os.remove(h.preferences_path())
    shutil.rmtree(downloads_root(h), ignore_errors=True)


def open_picker(h, options):
    run = h.launch(h.launcher_copy("Picker"), [], driver_options=options)
    h.expect_status(run, 0)
    opened = run.of("picker_open")
    check(opened, f"Browse did not open the picker: {run.describe()}")
    picker = opened[0]
    check(picker["title"] == h.texts.get(TITLE), f"picker title {picker['title']!r}")
    for key, string_id in LABELS.items():
        check(picker[key] == h.texts.get(string_id), f"picker {key} reads {picker[key]!r}")
    check(not picker["types_visible"], "the picker shows its file-type list")
    # It opened inside the proposed folder, which it had to create for that.
    check(picker["field"].rstrip("\\").lower() == default_directory(h).rstrip("\\").lower(),
          f"the picker opened at {picker['field']!r}, not at {default_directory(h)!r}")
    return run


def after_field(run):
    after = run.of("dialog_after")
    check(after, f"the driver never got back to the dialog: {run.describe()}")
    return after[0]["directory"]


def expect_question(h, run, typed):
    boxes = run.boxes()
    check(len(boxes) == 1 and boxes[0]["question"],
          f"expected the create-folder question alone: {run.describe()}")
    check(run_e2e.same_text(boxes[0]["text"], h.texts.get(CREATE_QUESTION, typed)),
          f"question text {boxes[0]['text']!r}")
    check(boxes[0]["caption"] == h.texts.get(TITLE), f"question caption {boxes[0]['caption']!r}")
    moved = run.of("picker_moved")
    check(moved and moved[0]["moved"], f"the picker did not move into {typed}: {run.describe()}")


def check_removed(h, *folders):
    for folder in folders:
        check(not os.path.exists(folder), f"the picker left {folder} behind")
    check(not os.path.exists(downloads_root(h)),
          "the picker left the proposed folder it created behind")


def create_and_select(h):
    start_clean(h)
    typed = win(h.path("New Parent", "Picked"))
    run = open_picker(h, ["--type", typed, "--answer", "yes", "--finish", "select"])
    expect_question(h, run, typed)
    check(after_field(run) == typed + "\\",
          f"after Select the field reads {after_field(run)!r}, not {typed}\\")
    # Chosen but still empty: the picker removes it again, the launcher makes it on Start.
    check_removed(h, h.path("New Parent", "Picked"), h.path("New Parent"))


def create_and_cancel(h):
    start_clean(h)
    typed = win(h.path("Outer", "Inner"))
    run = open_picker(h, ["--type", typed, "--answer", "yes", "--finish", "cancel"])
    expect_question(h, run, typed)
    check(after_field(run) == default_directory(h),
          f"after Cancel the field reads {after_field(run)!r}")
    check_removed(h, h.path("Outer", "Inner"), h.path("Outer"))


def create_after_interruption(h):
    """Another program's window takes the activation while the path is half typed: the
    picker waits for Enter instead of asking about the half it has."""
    start_clean(h)
    typed = win(h.path("Halfway", "There"))
    split = len(win(h.path("Half")))
    run = open_picker(h, ["--type", typed, "--interrupt-after", str(split), "--answer", "yes",
                          "--finish", "cancel"])
    interrupted = run.of("interrupted")
    check(interrupted and interrupted[0]["typed"] and interrupted[0]["taken"],
          f"the driver could not interrupt the typing: {run.describe()}")
    check(interrupted[0]["boxes"] == 0 and interrupted[0]["field"] == typed[:split],
          f"the picker acted on the half-typed path: {run.describe()}")
    expect_question(h, run, typed)
    check(after_field(run) == default_directory(h),
          f"after Cancel the field reads {after_field(run)!r}")
    check_removed(h, h.path("Halfway", "There"), h.path("Halfway"), h.path("Half"))


def invalid_input(h):
    cases = [("\\CON", RESERVED_WORD), ("\\a|b", INVALID_CHARACTER)]
    for component, string_id in cases:
        start_clean(h)
        typed = win(h.work) + component
        run = open_picker(h, ["--set", typed])
        boxes = run.boxes()
        check(len(boxes) == 1, f"{typed}: expected one box: {run.describe()}")
        expected = h.texts.get(string_id, component)
        check(run_e2e.same_text(boxes[0]["text"], expected),
              f"{typed}: box text {boxes[0]['text']!r}, expected {expected!r}")
        check(boxes[0]["caption"] == h.texts.get(TITLE) and boxes[0]["icon"],
              f"{typed}: box caption {boxes[0]['caption']!r}, icon {boxes[0]['icon']}")
        kept = run.of("picker_after_box")
        check(kept and kept[0]["open"], f"{typed}: the picker closed: {run.describe()}")
        check(after_field(run) == default_directory(h),
              f"{typed}: the field changed to {after_field(run)!r}")
        check_removed(h)


CASES = {
    "picker.create_select": (create_and_select, True),
    "picker.create_cancel": (create_and_cancel, True),
    "picker.create_interrupted": (create_after_interruption, True),
    "picker.invalid_input": (invalid_input, True),
}

if __name__ == "__main__":
    run_e2e.CASES = CASES
    sys.exit(run_e2e.main())
