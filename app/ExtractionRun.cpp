#include "app/ExtractionRun.h"

#include "app/Payload.h"
#include "app/PellquinCmdLineInfo.h"
#include "app/PellquinDlg.h"
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

        // Both files there: an earlier run extracted the payload, which is reused.
        if (!Quillkit::FileExists(setup.GetPath()) ||
            !Quillkit::FileExists(description.GetPath())) {
            DWORD result = ExtractPayload(directory.GetPath());
            if (result != kExtractionDone)
                return result;
        }
        dialog->SavePreferences();
        RestoreArrowCursor();

        if (!cmdInfo.m_strExtractDir.empty()) {
            if (cmdInfo.m_bQuiet)
                return kExtractionDone;
            os::wstring text = FormatMessageString(
                LoadLauncherString(StringId::kExtractedTo),
                {MessageArg(directory.GetPath()), MessageArg(kInstallerFolder)});
            MessageBoxW(dialog->m_hWnd, text.c_str(), GetInstallerTitle().c_str(), MB_OK);
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
            RestoreArrowCursor();
            showBox(StringId::kPayloadOpenFailed, StringId::kFatalErrorCaption,
                    MB_ICONERROR | MB_SETFOREGROUND | MB_OK);
            zip->CloseZip();
            return kExtractionFatal;
        }
        zip->SetEventCallback(&zipProgress);
        if (!zip->Extract(directory)) {
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
        MessageBoxW(CWinApp::MainWindowHandle(), text.c_str(), caption.c_str(),
                    MB_ICONERROR | MB_SETFOREGROUND | MB_OK);
        return 1;
    }

    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpVerb = L"open";
    info.lpFile = setup.GetPath();
    info.nShow = SW_SHOW;
    // Refused elevation lands here too: the user has already answered.
    if (!ShellExecuteExW(&info))
        return 1;
    if (info.hProcess) {
        WaitForSingleObject(info.hProcess, INFINITE);
        CloseHandle(info.hProcess);
    }
    return 0;
}
