// One launcher per suite: a named mutex in the session's namespace, held for the
// rest of the process by the launcher that takes it first.
#pragma once

#include <windows.h>

#include <cstdint>

// Takes this suite's lock; true when this launcher may go on. When another
// launcher of the suite runs, it says so and sets `exitCode`: an interactive
// launcher brings the other one's window to the front (or, when that has none
// on screen, says it runs) and ends with 0; an extract-only launcher ends with 1,
// writing nothing. A lock the system cannot make is logged and does not stop
// the run.
bool ClaimSuite(int32_t& exitCode);

// Marks `dialog` as this suite's running launcher, for a second one to find.
void MarkSuiteWindow(HWND dialog);
