// The names under which the launchers of one suite find each other: a mutex in
// the session's namespace, held while a launcher runs, and a property that marks
// the running launcher's dialog.
#pragma once

#include "os/WideText.h"

// "Local\Pellquin.Suite.<guid>": the suite GUID in lower case without its braces
// (any character but a letter, a digit or "-" is left out, so the name holds no
// further backslash), or "unknown" when nothing is left.
os::wstring SuiteMutexName(const os::wstring& suiteGuid);

// The window property that marks the dialog of this suite's running launcher.
os::wstring SuiteWindowProperty(const os::wstring& suiteGuid);
