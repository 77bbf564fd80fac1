#include "app/ExtractionRun.h"

#include "app/DialogMessages.h"
#include "app/OwnPayload.h"
#include "app/Payload.h"
#include "app/PellquinCmdLineInfo.h"
#include "app/PellquinDlg.h"
#include "app/SetupCheck.h"
#include "app/SignatureCheck.h"
#include "app/TextFormat.h"
#include "framework/App.h"
#include "resources/StringIds.h"
#include "toolkit/diag/ErrorReport.h"
#include "toolkit/path/FileTests.h"
#include "toolkit/ui/LauncherStrings.h"
#include "zip/facade/VxZipW.h"

#include <shellapi.h>

#include <memory>

using Quillkit::LoadLauncherString;
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
    os::wstring text = LoadLauncherString(textId);
    os::wstring caption = LoadLauncherString(captionId);
    return MessageBoxW(CWinApp::MainWindowHandle(), text.c_str(), caption.c_str(), flags);
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
            MessageBoxW(dialog->m_hWnd, text.c_str(), GetInstallerTitle().c_str(), MB_OK);
            return kExtractionDone;
        }
        // Checked again right before it starts, and held until it has started.
        HeldSetup held;
        if (!CheckSetupBeforeStart(directory, setup, held)) {
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
        auto zip = std::make_unique<VxZipW>();
        if (!OpenOwnPayload(*zip)) {
            RestoreArrowCursor();
            showBox(StringId::kPayloadOpenFailed, StringId::kFatalErrorCaption,
                    MB_ICONERROR | MB_SETFOREGROUND | MB_OK);
            zip->CloseZip();
            return kExtractionFatal;
        }
        zip->SetEventCallback(&zipProgress);
        if (!zip->ExtractChanged(directory)) {
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

DWORD LaunchInstaller(const wchar_t* installerFolder, HeldSetup& held) {
    StrictPath setup(installerFolder, Quillkit::kDirectory);
    setup.Append(LoadLauncherString(StringId::kSetupProgram).c_str(), 0);
    if (!Quillkit::FileExists(setup.GetPath())) {
        os::wstring text = FormatMessageString(LoadLauncherString(StringId::kInstallerMissing),
                                               {MessageArg(setup.GetPath())});
        os::wstring caption = LoadLauncherString(StringId::kFatalErrorCaption);
        RestoreArrowCursor();
        MessageBoxW(CWinApp::MainWindowHandle(), text.c_str(), caption.c_str(),
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
    info.nShow = SW_SHOW;
    // Refused elevation lands here too: the user has already answered.
    const BOOL started = ShellExecuteExW(&info);
    held.Release();
    if (!started)
        return 1;
    if (info.hProcess) {
        WaitForSingleObject(info.hProcess, INFINITE);
        CloseHandle(info.hProcess);
    }
    return 0;
}
