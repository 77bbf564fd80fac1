#include "app/ExtractionRun.h"

#include "app/DialogMessages.h"
#include "app/LauncherBox.h"
#include "app/OwnPayload.h"
#include "app/Payload.h"
#include "app/PellquinCmdLineInfo.h"
#include "app/PellquinDlg.h"
#include "app/SetupArguments.h"
#include "app/SetupCheck.h"
#include "app/SetupStatus.h"
#include "app/SignatureCheck.h"
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
void logEngine(const vexmar::VxZipW& zip) {
    LogDebugMessage(L"The engine's log:\n%s", os::fromUtf8(zip.LastErrorXml()).c_str());
}

} // namespace

void ZipProgress::percentDone(int percent, bool*) {
    PostMessageW(CWinApp::MainWindowHandle(), kProgressMessage, WPARAM(percent), 0);
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

        LogDebugMessage(L"Download directory: '%s'", directory.GetPath());
        // What an earlier run extracted is reused only as far as it still matches
        // the payload: a file left half-written, or put there by someone else, is
        // extracted again.
        DWORD result = ExtractPayload(directory.GetPath());
        if (result != kExtractionDone)
            return result;
        dialog->SavePreferences();
        RestoreArrowCursor();

        if (!cmdInfo.m_strExtractDir.empty()) {
            ReleaseVerifiedImage();
            if (cmdInfo.m_bQuiet)
                return kExtractionDone;
            os::wstring text = FormatMessageString(
                LoadLauncherString(StringId::kExtractedTo),
                {MessageArg(directory.GetPath()), MessageArg(kInstallerFolder)});
            LauncherBox(dialog->m_hWnd, text, GetInstallerTitle(), MB_OK);
            return kExtractionDone;
        }
        // Checked again right before it starts, and held until it has started.
        HeldSetup held;
        if (!CheckSetupBeforeStart(directory, setup, held)) {
            LogDebugMessage(L"setup.exe still differs from the payload's right before the start");
            RestoreArrowCursor();
            showBox(StringId::kExtractFailed, StringId::kErrorCaption, MB_ICONWARNING | MB_OK);
            return kExtractionFatal;
        }
        ReleaseVerifiedImage();
        return LaunchInstaller(installer.GetPath(), held) == 0 ? kExtractionDone : kExtractionFatal;
    } catch (...) {
        Quillkit::HandleException(nullptr);
        return kExtractionFatal;
    }
}

DWORD ExtractPayload(const wchar_t* directory) {
    try {
        DWORD result = kExtractionDone;
        auto zip = std::make_unique<vexmar::VxZipW>();
        if (!OpenOwnPayload(*zip)) {
            LogDebugMessage(L"The payload cannot be opened");
            logEngine(*zip);
            RestoreArrowCursor();
            showBox(StringId::kPayloadOpenFailed, StringId::kFatalErrorCaption,
                    MB_ICONERROR | MB_SETFOREGROUND | MB_OK);
            zip->CloseZip();
            return kExtractionFatal;
        }
        zip->SetEventCallback(&zipProgress);
        // Only what is missing or differs is written, and nothing when that cannot
        // all fit: the user may pick another folder.
        bool refused = false;
        auto fits = [&](const vexmar::VxChangedPlan& plan) {
            refused = !PayloadFits(plan.bytesToWrite, directory);
            return !refused;
        };
        vexmar::VxChangedPlan plan;
        uint32_t rewritten = 0;
        const bool extracted = zip->ExtractChanged(directory, nullptr, &rewritten, &plan, fits);
        LogDebugMessage(L"Reuse check: %lu file entries checked, %lu missing or differing "
                        L"(%llu bytes), %lu written",
                        static_cast<unsigned long>(plan.checked),
                        static_cast<unsigned long>(plan.toWrite),
                        static_cast<unsigned long long>(plan.bytesToWrite),
                        static_cast<unsigned long>(rewritten));
        if (refused) {
            zip->CloseZip();
            return kExtractionFailed;
        }
        if (!extracted) {
            LogDebugMessage(L"Extraction into '%s' failed", directory);
            logEngine(*zip);
            RestoreArrowCursor();
            showBox(StringId::kExtractFailed, StringId::kErrorCaption, MB_ICONWARNING | MB_OK);
            result = kExtractionFailed;
        } else {
            LogDebugMessage(L"Extraction done");
        }
        zip->CloseZip();
        return result;
    } catch (...) {
        Quillkit::HandleException(nullptr);
        return kExtractionFatal;
    }
}

DWORD LaunchInstaller(const wchar_t* installerFolder, HeldSetup& held) {
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
    // Its own folder, not the launcher's current one (typically Downloads): an
    // elevated installer may load libraries from there.
    info.lpDirectory = installerFolder;
    // The arguments after "--", each quoted so setup.exe gets them back unchanged.
    os::wstring parameters = JoinArguments(cmdInfo.m_setupArguments);
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.nShow = SW_SHOW;
    LogDebugMessage(L"Starting setup.exe: \"%s\" %s", setup.GetPath(), parameters.c_str());
    // Refused elevation lands here too: the user has already answered.
    const BOOL started = ShellExecuteExW(&info);
    const DWORD error = GetLastError();
    held.Release();
    if (!started) {
        LogDebugMessage(L"setup.exe was not started (error %lu)",
                        static_cast<unsigned long>(error));
        return 1;
    }
    if (info.hProcess) {
        WaitForSingleObject(info.hProcess, INFINITE);
        RecordSetupStatus(info.hProcess);
        CloseHandle(info.hProcess);
    }
    return 0;
}
