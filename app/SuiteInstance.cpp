#include "app/SuiteInstance.h"

#include "app/LauncherBox.h"
#include "app/PellquinCmdLineInfo.h"
#include "app/SuiteLockName.h"
#include "app/TextFormat.h"
#include "resources/StringIds.h"
#include "toolkit/diag/DebugLog.h"
#include "toolkit/ui/LauncherStrings.h"

using Quillkit::LoadLauncherString;
using Quillkit::LogDebugMessage;

namespace {

os::wstring suiteGuid() {
    return LoadLauncherString(StringId::kSuiteGuid);
}

struct WindowSearch {
    const wchar_t* property;
    HWND found;
};

// A named function: a lambda has no stdcall form for the 32-bit callback.
BOOL CALLBACK findMarkedWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    if (!GetPropW(window, search->property))
        return TRUE;
    search->found = window;
    return FALSE;
}

// The running launcher's dialog, when it is on screen.
HWND visibleSuiteWindow() {
    os::wstring property = SuiteWindowProperty(suiteGuid());
    WindowSearch search = {property.c_str(), nullptr};
    EnumWindows(findMarkedWindow, reinterpret_cast<LPARAM>(&search));
    return search.found && IsWindowVisible(search.found) ? search.found : nullptr;
}

void bringToFront(HWND window) {
    if (IsIconic(window))
        ShowWindow(window, SW_RESTORE);
    // A box the dialog has open is what the user must answer.
    SetForegroundWindow(GetLastActivePopup(window));
}

void sayAlreadyRunning() {
    LauncherBox(nullptr, LoadLauncherString(StringId::kAlreadyRunning), GetInstallerTitle(),
                MB_ICONWARNING | MB_OK | MB_SETFOREGROUND);
}

} // namespace

bool ClaimSuite(int32_t& exitCode) {
    os::wstring name = SuiteMutexName(suiteGuid());
    HANDLE lock = CreateMutexW(nullptr, FALSE, name.c_str());
    if (!lock) {
        // Another kind of object under this name, for one: better an unguarded run
        // than none.
        LogDebugMessage(L"Launcher lock '%s' cannot be made (error %lu); going on without it",
                        name.c_str(), static_cast<unsigned long>(GetLastError()));
        return true;
    }
    DWORD wait = WaitForSingleObject(lock, 0);
    if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) {
        // Held until the process ends, which releases it.
        LogDebugMessage(L"Launcher lock '%s' taken", name.c_str());
        return true;
    }
    CloseHandle(lock);
    LogDebugMessage(L"Another launcher of this suite is running (lock '%s')", name.c_str());
    if (!cmdInfo.m_strExtractDir.empty()) {
        sayAlreadyRunning();
        exitCode = 1;
        return false;
    }
    if (HWND other = visibleSuiteWindow()) {
        LogDebugMessage(L"Its window is brought to the front");
        bringToFront(other);
    } else {
        sayAlreadyRunning();
    }
    exitCode = 0;
    return false;
}

void MarkSuiteWindow(HWND dialog) {
    os::wstring property = SuiteWindowProperty(suiteGuid());
    SetPropW(dialog, property.c_str(), reinterpret_cast<HANDLE>(1));
}
