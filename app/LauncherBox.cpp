#include "app/LauncherBox.h"

#include "app/PellquinCmdLineInfo.h"
#include "toolkit/diag/DebugLog.h"

bool IsQuietRun() {
    return cmdInfo.m_bQuiet;
}

int LauncherBox(HWND owner, const os::wstring& text, const os::wstring& caption, UINT type) {
    bool quiet = IsQuietRun();
    Quillkit::LogDebugMessage(L"%s: %s: %s", quiet ? L"Message (not shown, quiet run)" : L"Message",
                              caption.c_str(), text.c_str());
    if (quiet)
        return IDOK;
    return MessageBoxW(owner, text.c_str(), caption.c_str(), type);
}
