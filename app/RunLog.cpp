#include "app/RunLog.h"

#include "app/SetupArguments.h"
#include "toolkit/diag/DebugLog.h"
#include "toolkit/diag/DebugLogFile.h"
#include "toolkit/diag/SharedOutput.h"

#include <windows.h>

#include <vector>

using Quillkit::LogDebugMessage;

namespace {

const wchar_t* modeName(RunMode mode) {
    switch (mode) {
    case RunMode::Usage:
        return L"usage";
    case RunMode::Builder:
        return L"builder";
    case RunMode::ExtractOnly:
        return L"extract-only";
    case RunMode::Interactive:
        break;
    }
    return L"interactive";
}

os::wstring ownPath() {
    std::vector<wchar_t> path(32768);
    DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
    return os::wstring(path.data(), length < path.size() ? length : 0);
}

} // namespace

bool OpenRunLog(const CPellquinCmdLineInfo& info) {
    if (info.m_strLogFile.empty())
        return true;
    uint32_t error = 0;
    if (!Quillkit::OpenDebugLogFile(info.m_strLogFile.c_str(), error))
        return false;
    Quillkit::GetSharedOutputData()->SetStampEveryLine(true);

    RunMode mode = ChooseRunMode(info);
    LogDebugMessage(L"Launcher: %s", ownPath().c_str());
    LogDebugMessage(L"Command line: %s", GetCommandLineW());
    LogDebugMessage(L"Mode: %s%s", modeName(mode), info.m_bQuiet ? L", quiet" : L"");
    if (mode == RunMode::ExtractOnly)
        LogDebugMessage(L"Extraction directory given: '%s'", info.m_strExtractDir.c_str());
    if (!info.m_setupArguments.empty())
        LogDebugMessage(L"Arguments for setup.exe: %s",
                        JoinArguments(info.m_setupArguments).c_str());
    return true;
}

void CloseRunLog(int32_t status) {
    LogDebugMessage(L"Exit status: %d", int(status));
    Quillkit::CloseDebugLog();
}
