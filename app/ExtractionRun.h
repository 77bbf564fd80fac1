// The extraction run: a worker thread extracts the payload below the download
// directory, records the directory, then starts the suite's installer and waits
// for it (or, in extract-only mode, says where the files are).
#pragma once

#include "os/WideText.h"
#include "zip/facade/VxProgress.h"

class HeldSetup;

#include <windows.h>

// Worker results, the thread's exit code.
enum ExtractionResult : DWORD {
    kExtractionDone = 0,   // installer started and ended, or extract-only files in place
    kExtractionFatal = 1,  // payload unreadable, installer not started, unexpected error
    kExtractionFailed = 2, // extraction failed: the user may choose another directory
};

// Percent-done notifications become progress messages posted to the main window;
// the launcher never aborts an extraction.
class ZipProgress : public vexmar::VxZipProgressW {
public:
    void percentDone(int percent, bool* abort) override;
    void fileToBeAdded(const os::wchar*, int64_t, bool*) override {}
    void fileAdded(const os::wchar*, int64_t, bool*) override {}
    void fileToBeZipped(const os::wchar*, int64_t, bool*) override {}
};

// The worker; `dialog` is the CPellquinDlg that waits for it.
DWORD WINAPI ExtractionThreadProc(LPVOID dialog);
// Extracts the payload below `directory` (which ends with "\"), writing only the
// files that are missing there or differ from the payload.
DWORD ExtractPayload(const wchar_t* directory);
// Starts setup.exe of `installerFolder`, in that folder, and waits until it
// ends; `held` (the checked setup.exe) is let go once it has started.
DWORD LaunchInstaller(const wchar_t* installerFolder, HeldSetup& held);
// The arrow as the main window's class cursor and as the current cursor.
void RestoreArrowCursor();
// The hourglass likewise, while the worker runs.
void ShowWaitCursor();
