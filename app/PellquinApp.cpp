#include "app/PellquinApp.h"

#include "app/BuilderMode.h"
#include "app/LauncherBox.h"
#include "app/PackedStrings.h"
#include "app/PellquinCmdLineInfo.h"
#include "app/PellquinDlg.h"
#include "app/RunLog.h"
#include "app/SuiteInstance.h"
#include "app/TextFormat.h"
#include "resources/StringIds.h"
#include "toolkit/diag/ErrorReport.h"
#include "toolkit/platform/WindowsVersion.h"
#include "toolkit/ui/LauncherStrings.h"
#include "toolkit/ui/UILanguage.h"

#include <commctrl.h>

CPellquinApp theApp;

namespace {

void* mainWindow() {
    return CWinApp::MainWindowHandle();
}

} // namespace

bool CPellquinApp::InitInstance() {
    // Before anything can report: the toolkit's texts are mostly kept packed. (Should
    // that fail, a report finds no text and says so in the toolkit's own words.)
    (void)Pellquin::RegisterPackedStrings(Pellquin::kPackedStringTables, m_hInstance);

    // Otherwise the Program Compatibility Assistant may ask, after the launcher
    // ends, whether the installation went well.
    Quillkit::SetCompatibilityAssistantFlag(0);

    INITCOMMONCONTROLSEX controls = {sizeof(controls), 0xFF};
    InitCommonControlsEx(&controls);

    CWinApp::InitInstance();
    EnableControlContainer();
    Quillkit::SetMainWindowQuery(mainWindow);

    try {
        Quillkit::ChooseUILanguage();
        ParseCommandLine(cmdInfo);
        // A log that was asked for and cannot be made ends the run before anything
        // else happens.
        if (!OpenRunLog(cmdInfo)) {
            m_nExitCode = 1;
            return false;
        }

        RunMode mode = ChooseRunMode(cmdInfo);
        if (mode == RunMode::Usage) {
            ShowUsage();
            m_nExitCode = 1;
        } else if (mode == RunMode::Builder) {
            RunBuilderMode(cmdInfo);
        } else if (ClaimSuite(m_nExitCode)) {
            CPellquinDlg dialog;
            m_pMainWnd = &dialog;
            // A dialog that cannot even be created (no template, no window) has
            // done nothing: that is a failed run, not a successful one.
            if (dialog.DoModal() == -1)
                m_nExitCode = 1;
            m_pMainWnd = nullptr;
        }
    } catch (const Quillkit::FatalResourceError&) {
        // The loader has shown its box already.
        m_pMainWnd = nullptr;
        m_nExitCode = 1;
    } catch (...) {
        // A failed builder run, or anything else nobody handled: the report goes to
        // the logs and the run ends in order.
        m_pMainWnd = nullptr;
        Quillkit::HandleException(nullptr);
        m_nExitCode = 1;
    }
    return false;
}

int CPellquinApp::ExitInstance() {
    CWinApp::ExitInstance();
    CloseRunLog(m_nExitCode);
    return m_nExitCode;
}

void CPellquinApp::ShowUsage() {
    os::wstring caption =
        GetInstallerTitle() + L" " + Quillkit::LoadLauncherString(StringId::kHelpCaption);
    os::wstring text = FormatMessageString(Quillkit::LoadLauncherString(StringId::kUsageText),
                                           {MessageArg(m_pszAppName)});
    LauncherBox(nullptr, text, caption, MB_ICONWARNING | MB_OK);
}
