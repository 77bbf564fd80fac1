// The last check before the installer starts: setup.exe must be the payload's own.
#pragma once

#include "toolkit/path/StrictPath.h"

#include <windows.h>

// setup.exe held open from its check until the installer has started: others may
// read it (the system must, to start it), but nobody may change, replace or
// delete it in between.
class HeldSetup {
public:
    HeldSetup() = default;
    ~HeldSetup() { Release(); }
    HeldSetup(const HeldSetup&) = delete;
    HeldSetup& operator=(const HeldSetup&) = delete;

    bool Open(const wchar_t* path);
    bool IsOpen() const { return file_ != INVALID_HANDLE_VALUE; }
    void Release();

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
};

// Whether `setup` (below `directory`) matches its payload entry in size and
// CRC-32 while `held` holds it. A file that differs is extracted once more and
// checked again. False when it still differs, or the payload cannot be read;
// `held` is then closed.
bool CheckSetupBeforeStart(const Quillkit::StrictPath& directory, const Quillkit::StrictPath& setup,
                           HeldSetup& held);
