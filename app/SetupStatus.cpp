#include "app/SetupStatus.h"

#include "toolkit/diag/DebugLog.h"

#include <atomic>

namespace {

std::atomic<bool> ended{false};
std::atomic<DWORD> endStatus{0};

} // namespace

void RecordSetupStatus(HANDLE setup) {
    DWORD status = 0;
    if (!GetExitCodeProcess(setup, &status)) {
        Quillkit::LogDebugMessage(L"setup.exe ended; its exit status cannot be read (error %lu)",
                                  static_cast<unsigned long>(GetLastError()));
        return;
    }
    Quillkit::LogDebugMessage(L"setup.exe ended with status %lu", static_cast<unsigned long>(status));
    endStatus = status;
    ended = true;
}

bool SetupRanToItsEnd(DWORD& status) {
    if (!ended)
        return false;
    status = endStatus;
    return true;
}
