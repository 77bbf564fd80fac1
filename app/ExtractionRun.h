// The extraction run: a worker thread extracts the payload below the download
// directory, records the directory, then starts the suite's installer and waits
// for it (or, in extract-only mode, says where the files are).
#pragma once

#include "os/WideText.h"
#include "zip/facade/VxProgress.h"

#include <windows.h>

// Worker results, the thread's exit code.
enum ExtractionResult : DWORD {
    kExtractionDone = 0,   // installer started and ended, or extract-only files in place
    kExtractionFatal = 1,  // payload unreadable, installer not started, unexpected error
    kExtractionFailed = 2, // extraction failed: the user may choose another directory
};

// Percent-done notifications become WM_USER messages posted to the main window;
// the launcher never aborts an extraction.
class ZipProgress : public VxZipProgressW {
public:
    void percentDone(int percent, bool* abort) override;
    void fileToBeAdded(const os::wchar*, int64_t, bool*) override {}
    void fileAdded(const os::wchar*, int64_t, bool*) override {}
    void fileToBeZipped(const os::wchar*, int64_t, bool*) override {}
};

// The worker; `dialog` is the CPellquinDlg that waits for it.
DWORD WINAPI ExtractionThreadProc(LPVOID dialog);
// Extracts the payload below `directory` (which ends with "\").
DWORD ExtractPayload(const wchar_t* directory);
// Starts setup.exe of `installerFolder` and waits until it ends.
DWORD LaunchInstaller(const wchar_t* installerFolder);
// The arrow as the main window's class cursor and as the current cursor.
void RestoreArrowCursor();
// The hourglass likewise, while the worker runs.
void ShowWaitCursor();
