#include "app/ExtractionRun.h"

#include "app/LauncherBox.h"
#include "app/Payload.h"
#include "app/PellquinCmdLineInfo.h"
#include "app/PellquinDlg.h"
#include "app/SetupArguments.h"
#include "app/SetupStatus.h"
#include "app/SpaceCheck.h"
#include "app/TextFormat.h"
#include "framework/App.h"
#include "resources/StringIds.h"
#include "toolkit/diag/DebugLog.h"
#include "toolkit/diag/ErrorReport.h"
#include "toolkit/path/FileTests.h"
#include "toolkit/ui/LauncherStrings.h"
#include "zip/facade/VxZipW.h"

#include <shellapi.h>

#include <memory>

using Quillkit::LoadLauncherString;
using Quillkit::LogDebugMessage;
using Quillkit::StrictPath;

namespace {

ZipProgress zipProgress;

void setCursor(const wchar_t* which) {
    HCURSOR cursor = LoadCursorW(nullptr, which);
    if (HWND main = CWinApp::MainWindowHandle())
        SetClassLongPtrW(main, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(cursor));
    SetCursor(cursor);
}

int showBox(UINT textId, UINT captionId, UINT flags) {
    return LauncherBox(CWinApp::MainWindowHandle(), LoadLauncherString(textId),
                       LoadLauncherString(captionId), flags);
}

// The engine's own account of the last operation, into the run's log.
void logEngine(const VxZipW& zip) {
    LogDebugMessage(L"The engine's log:\n%s", os::fromUtf8(zip.LastErrorXml()).c_str());
}

} // namespace

void ZipProgress::percentDone(int percent, bool*) {
    PostMessageW(CWinApp::MainWindowHandle(), WM_USER, WPARAM(percent), 0);
}

void RestoreArrowCursor() {
    setCursor(IDC_ARROW);
}

void ShowWaitCursor() {
    setCursor(IDC_WAIT);
}

DWORD WINAPI ExtractionThreadProc(LPVOID parameter) {
    try {
        auto* dialog = static_cast<CPellquinDlg*>(parameter);
        const StrictPath& directory = dialog->DownloadDir();
        StrictPath installer(directory);
        installer.Append(kInstallerFolder, Quillkit::kDirectory);
        StrictPath setup(installer);
        setup.Append(LoadLauncherString(StringId::kSetupProgram).c_str(), 0);
        StrictPath description(installer);
        description.Append(LoadLauncherString(StringId::kSuiteDescription).c_str(), 0);

        LogDebugMessage(L"Download directory: '%s'", directory.GetPath());
        // Both files there: an earlier run extracted the payload, which is reused.
        if (!Quillkit::FileExists(setup.GetPath()) ||
            !Quillkit::FileExists(description.GetPath())) {
            LogDebugMessage(L"Reuse check: setup.exe and orvsuite.xml are not both there; "
                            L"extracting");
            DWORD result = ExtractPayload(directory.GetPath());
            if (result != kExtractionDone)
                return result;
            LogDebugMessage(L"Extraction done");
        } else {
            LogDebugMessage(L"Reuse check: setup.exe and orvsuite.xml are there; nothing extracted");
        }
        dialog->SavePreferences();
        RestoreArrowCursor();

        if (!cmdInfo.m_strExtractDir.empty()) {
            if (cmdInfo.m_bQuiet)
                return kExtractionDone;
            os::wstring text = FormatMessageString(
                LoadLauncherString(StringId::kExtractedTo),
                {MessageArg(directory.GetPath()), MessageArg(kInstallerFolder)});
            LauncherBox(dialog->m_hWnd, text, GetInstallerTitle(), MB_OK);
            return kExtractionDone;
        }
        return LaunchInstaller(installer.GetPath()) == 0 ? kExtractionDone : kExtractionFatal;
    } catch (...) {
        Quillkit::HandleException(nullptr);
        return kExtractionFatal;
    }
}

DWORD ExtractPayload(const wchar_t* directory) {
    try {
        DWORD result = kExtractionDone;
        auto zip = std::make_unique<VxZipW>();
        if (!zip->OpenMyEmbedded(kPayloadResourceName)) {
            LogDebugMessage(L"The payload cannot be opened");
            logEngine(*zip);
            RestoreArrowCursor();
            showBox(StringId::kPayloadOpenFailed, StringId::kFatalErrorCaption,
                    MB_ICONERROR | MB_SETFOREGROUND | MB_OK);
            zip->CloseZip();
            return kExtractionFatal;
        }
        zip->SetEventCallback(&zipProgress);
        // Nothing is written when it cannot all fit; the user may pick another folder.
        if (!PayloadFits(*zip, directory)) {
            zip->CloseZip();
            return kExtractionFailed;
        }
        if (!zip->Extract(directory)) {
            LogDebugMessage(L"Extraction into '%s' failed", directory);
            logEngine(*zip);
            RestoreArrowCursor();
            showBox(StringId::kExtractFailed, StringId::kErrorCaption, MB_ICONWARNING | MB_OK);
            result = kExtractionFailed;
        }
        zip->CloseZip();
        return result;
    } catch (...) {
        Quillkit::HandleException(nullptr);
        return kExtractionFatal;
    }
}

DWORD LaunchInstaller(const wchar_t* installerFolder) {
    StrictPath setup(installerFolder, Quillkit::kDirectory);
    setup.Append(LoadLauncherString(StringId::kSetupProgram).c_str(), 0);
    if (!Quillkit::FileExists(setup.GetPath())) {
        os::wstring text = FormatMessageString(LoadLauncherString(StringId::kInstallerMissing),
                                               {MessageArg(setup.GetPath())});
        os::wstring caption = LoadLauncherString(StringId::kFatalErrorCaption);
        RestoreArrowCursor();
        LauncherBox(CWinApp::MainWindowHandle(), text, caption,
                    MB_ICONERROR | MB_SETFOREGROUND | MB_OK);
        return 1;
    }

    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpVerb = L"open";
    info.lpFile = setup.GetPath();
    // The arguments after "--", each quoted so setup.exe gets them back unchanged.
    os::wstring parameters = JoinArguments(cmdInfo.m_setupArguments);
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.nShow = SW_SHOW;
    LogDebugMessage(L"Starting setup.exe: \"%s\" %s", setup.GetPath(), parameters.c_str());
    // Refused elevation lands here too: the user has already answered.
    if (!ShellExecuteExW(&info)) {
        LogDebugMessage(L"setup.exe was not started (error %lu)",
                        static_cast<unsigned long>(GetLastError()));
        return 1;
    }
    if (info.hProcess) {
        WaitForSingleObject(info.hProcess, INFINITE);
        RecordSetupStatus(info.hProcess);
        CloseHandle(info.hProcess);
    }
    return 0;
}
