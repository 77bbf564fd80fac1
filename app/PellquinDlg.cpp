#include "app/PellquinDlg.h"

#include "app/DialogMessages.h"
#include "app/ExtractionRun.h"
#include "app/LauncherBox.h"
#include "app/Payload.h"
#include "app/PellquinApp.h"
#include "app/PellquinCmdLineInfo.h"
#include "app/Resource.h"
#include "app/RunStopped.h"
#include "app/SetupStatus.h"
#include "app/SignatureCheck.h"
#include "app/SuiteInstance.h"
#include "app/TextFormat.h"
#include "app/UserFolders.h"
#include "app/preferences/SuiteIdentityRules.h"
#include "app/preferences/SuitePreferences.h"
#include "resources/StringIds.h"
#include "toolkit/diag/DebugLog.h"
#include "toolkit/diag/ErrorCodes.h"
#include "toolkit/diag/ErrorReport.h"
#include "toolkit/diag/Raise.h"
#include "toolkit/path/FileTests.h"
#include "toolkit/platform/WaitWithMessages.h"
#include "toolkit/platform/WindowsVersion.h"
#include "toolkit/ui/FolderPicker.h"
#include "toolkit/ui/LauncherStrings.h"

#include <cwctype>

using Quillkit::LoadLauncherString;
using Quillkit::StrictPath;

namespace {

constexpr UINT kSetShield = 0x160C; // BCM_SETSHIELD
constexpr int kMaxDirectoryText = 260;

// Removes blanks, tabs and line breaks at both ends.
os::wstring trimmed(const os::wstring& text) {
    const wchar_t* blanks = L" \t\r\n\v\f";
    size_t first = text.find_first_not_of(blanks);
    if (first == os::wstring::npos)
        return {};
    size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

// In extract-only mode nobody can answer a refusal: it ends the run. The raise
// throws unless an error is already pending; then the run ends all the same.
[[noreturn]] void refuseExtractOnly(const wchar_t* format, const wchar_t* value) {
    Quillkit::RaiseErrorMessage(Quillkit::ErrorCode::kBadInput, format,
                                L"CPellquinDlg::OnBnClickedOk", value);
    throw RunStopped("the extraction directory was refused");
}

} // namespace

bool IsExtractOnly() {
    return !cmdInfo.m_strExtractDir.empty();
}

const MessageMapEntry CPellquinDlg::messageEntries[] = {
    DIALOG_MESSAGE(WM_PAINT, &CPellquinDlg::OnPaint),
    DIALOG_MESSAGE(WM_QUERYDRAGICON, &CPellquinDlg::OnQueryDragIcon),
    DIALOG_MESSAGE(WM_WINDOWPOSCHANGING, &CPellquinDlg::OnWindowPosChanging),
    DIALOG_COMMAND(IDCANCEL, &CPellquinDlg::OnExitCommand),
    DIALOG_COMMAND(IDC_BROWSE, &CPellquinDlg::OnBrowseCommand),
    DIALOG_COMMAND(IDOK, &CPellquinDlg::OnStartCommand),
    DIALOG_MESSAGE(kProgressMessage, &CPellquinDlg::OnProgress),
    DIALOG_MESSAGE(kStartRequestMessage, &CPellquinDlg::OnStartRequest),
};

const MessageMap CPellquinDlg::messageMap = {nullptr, messageEntries,
                                             sizeof(messageEntries) / sizeof(messageEntries[0])};

const MessageMap* CPellquinDlg::GetMessageMap() const {
    return &messageMap;
}

CPellquinDlg::CPellquinDlg()
    : CDialog(IDD_PELLQUIN_DIALOG), m_downloadDir(Quillkit::kDirectory), m_iniPath(0) {
    m_hIcon = LoadIconW(theApp.m_hInstance, MAKEINTRESOURCEW(IDR_MAINFRAME));
}

CPellquinDlg::~CPellquinDlg() {
    if (m_bannerSet.chosen)
        DeleteObject(m_bannerSet.chosen);
}

void CPellquinDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_BANNER, m_banner);
    DDX_Control(dx, IDC_PROGRESS, m_progress);
}

BOOL CPellquinDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    MarkSuiteWindow(m_hWnd);
    try {
        InitializeDialog();
    } catch (...) {
        // Reported to the logs and cleared, so that no later raise finds it pending.
        Quillkit::HandleException(nullptr);
        theApp.m_nExitCode = 1;
        // A half-initialised dialog (perhaps without a folder to propose) is no
        // run to offer; hidden, nobody could close it either. A missing text has
        // shown its box already. The dialog must not flash up on its way out.
        m_refused = true;
        EndDialog(IDCANCEL);
    }
    return FALSE;
}

void CPellquinDlg::InitializeDialog() {
    if (Quillkit::GetWindowsVersion() >= 600 && !VerifyOwnSignature()) {
        os::wstring text = LoadLauncherString(StringId::kSignatureInvalid);
        os::wstring caption = LoadLauncherString(StringId::kSignatureInvalidCaption);
        LauncherBox(m_hWnd, text, caption, MB_ICONWARNING | MB_OK);
        theApp.m_nExitCode = 1;
        // Windows still shows a dialog whose template is visible after its
        // initialisation, even when that ended it: it must not flash up.
        m_refused = true;
        EndDialog(IDCANCEL);
    }

    SetWindowText(GetInstallerTitle().c_str());
    os::wstring welcome =
        FormatMessageString(LoadLauncherString(StringId::kWelcomeText),
                            {MessageArg(LoadLauncherString(StringId::kSuiteName))});
    SetDlgItemText(IDC_WELCOME_TEXT, welcome.c_str());
    SetDlgItemText(IDOK, LoadLauncherString(StringId::kStartButton).c_str());
    SetDlgItemText(IDCANCEL, LoadLauncherString(StringId::kExitButton).c_str());
    SetDlgItemText(IDC_BROWSE, LoadLauncherString(StringId::kBrowseButton).c_str());
    SetDlgItemText(IDC_INTRO_TEXT, LoadLauncherString(StringId::kIntroText).c_str());
    SetDlgItemText(IDC_DIR_LABEL, LoadLauncherString(StringId::kDownloadDirLabel).c_str());

    CollectBanners();
    RECT strip = {};
    GetClientRect(m_hWnd, &strip);
    strip.bottom = 59;
    if (HBITMAP banner = ChooseBanner(&strip)) {
        m_banner.SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(banner));
        SetWindowPos(m_banner.m_hWnd, nullptr, strip.left, strip.top, strip.right - strip.left,
                     strip.bottom - strip.top, SWP_NOZORDER);
    }

    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    // Both places belong to the user alone: the default is the suite's folder below
    // the vendor's download root (string 170, which branding may rewrite) in the
    // user's local application data, and the preferences live there too. Without
    // that folder there is no default and no preferences.
    StrictPath localAppData(Quillkit::kDirectory);
    if (UserLocalAppData(localAppData)) {
        m_downloadDir = localAppData;
        m_downloadDir.Append(LoadLauncherString(StringId::kDownloadRoot).c_str(),
                             Quillkit::kDirectory);
        m_downloadDir.Append(LoadLauncherString(StringId::kSuiteFolder).c_str(),
                             Quillkit::kDirectory);
        m_iniPath = Pellquin::PreferencesFilePath(localAppData);
    }

    LoadPreferences();
    SetDlgItemText(IDC_DOWNLOAD_DIR, m_downloadDir.GetPath());

    if (EqualsIgnoringAsciiCase(LoadLauncherString(StringId::kNeedsElevation), L"yes"))
        ::SendMessageW(GetDlgItem(IDOK), kSetShield, 0, 1);

    ::SetFocus(GetDlgItem(IDOK));
    if (IsExtractOnly())
        PostMessage(kStartRequestMessage);
}

bool CPellquinDlg::OnPaint(WPARAM, LPARAM, LRESULT&) {
    if (!IsIconic(m_hWnd))
        return false;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc));
    EndPaint(m_hWnd, &paint);
    return true;
}

bool CPellquinDlg::OnQueryDragIcon(WPARAM, LPARAM, LRESULT& result) {
    result = reinterpret_cast<LRESULT>(m_hIcon);
    return true;
}

bool CPellquinDlg::OnWindowPosChanging(WPARAM, LPARAM lParam, LRESULT&) {
    // Extract-only runs and refused installers stay invisible, whoever asks to show
    // the dialog.
    if (IsExtractOnly() || m_refused)
        reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~UINT(SWP_SHOWWINDOW);
    return false;
}

bool CPellquinDlg::OnExitCommand(WPARAM, LPARAM, LRESULT&) {
    if (m_running)
        return true;
    OnCancel();
    return true;
}

bool CPellquinDlg::OnBrowseCommand(WPARAM, LPARAM, LRESULT&) {
    OnBnClickedBrowse();
    return true;
}

bool CPellquinDlg::OnStartCommand(WPARAM, LPARAM, LRESULT&) {
    OnBnClickedOk();
    return true;
}

bool CPellquinDlg::OnProgress(WPARAM wParam, LPARAM, LRESULT& result) {
    if (wParam >= 1) {
        m_progress.ShowWindow(SW_SHOW);
        m_progress.SetPos(int(wParam));
    }
    result = 0;
    return true;
}

bool CPellquinDlg::OnStartRequest(WPARAM, LPARAM, LRESULT& result) {
    OnBnClickedOk();
    result = 0;
    return true;
}

void CPellquinDlg::OnBnClickedBrowse() {
    // The picker starts at the directory in use, not at what may have been typed.
    Quillkit::FolderPicker picker(m_hWnd);
    picker.title = LoadLauncherString(StringId::kSelectFolderTitle);
    picker.SetMustExist(false);
    if (picker.Show(m_downloadDir))
        SetDlgItemText(IDC_DOWNLOAD_DIR, m_downloadDir.GetPath());
}

void CPellquinDlg::OnBnClickedOk() {
    // The disabled controls keep a second start away; a keystroke or a queued
    // request that gets past them must not start a second worker either.
    if (m_running)
        return;
    os::wstring text;
    if (IsExtractOnly()) {
        text = cmdInfo.m_strExtractDir;
    } else {
        CWnd field;
        field.m_hWnd = GetDlgItem(IDC_DOWNLOAD_DIR);
        text = field.GetWindowText();
    }
    text = trimmed(text);
    try {
        StrictPath directory(Quillkit::kDirectory);
        if (!AcceptDirectory(text, directory))
            return;
        RunExtraction(directory);
    } catch (...) {
        Quillkit::HandleException(nullptr);
        theApp.m_nExitCode = 1;
        EndDialog(IDCANCEL);
    }
}

bool CPellquinDlg::AcceptDirectory(const os::wstring& text, StrictPath& path) {
    HWND field = GetDlgItem(IDC_DOWNLOAD_DIR);
    if (text.size() > size_t(kMaxDirectoryText)) {
        os::wstring message = LoadLauncherString(StringId::kDirTextTooLong);
        os::wstring caption = LoadLauncherString(StringId::kPathTooLongCaption);
        LauncherBox(m_hWnd, message, caption, MB_ICONERROR | MB_OK);
        if (IsExtractOnly())
            refuseExtractOnly(L"%s: The extraction dir string, '%s', is too long", text.c_str());
        ::SetFocus(field);
        return false;
    }

    try {
        // Nothing but blanks names no folder, although it would make a valid
        // (empty, so current) path.
        if (text.empty())
            throw RunStopped("the folder text is blank");
        path.Assign(text.c_str(), Quillkit::kDirectory);
        if (!path.IsAbsolute())
            path.MakeAbsolute(Quillkit::kDirectory);
    } catch (...) {
        os::wstring message = FormatMessageString(LoadLauncherString(StringId::kInvalidPathMessage),
                                                  {MessageArg(text)});
        os::wstring caption = LoadLauncherString(StringId::kInvalidPathCaption);
        LauncherBox(m_hWnd, message, caption, MB_OK);
        if (IsExtractOnly()) {
            Quillkit::LogDebugMessage(L"%s: The extraction dir path, '%s', is invalid!",
                                      L"CPellquinDlg::OnBnClickedOk", text.c_str());
            throw;
        }
        Quillkit::HandleException(nullptr);
        ::SetFocus(field);
        return false;
    }

    int reserve = _wtoi(LoadLauncherString(StringId::kInstallerPathReserve).c_str());
    const int over = Pellquin::DownloadPathExcess(reserve, wcslen(path.GetPath()));
    if (over > 0) {
        os::wstring message =
            FormatMessageString(LoadLauncherString(StringId::kPathTooLongBy), {MessageArg(over)});
        os::wstring caption = LoadLauncherString(StringId::kPathTooLongCaption);
        LauncherBox(m_hWnd, message, caption, MB_ICONERROR | MB_OK);
        if (IsExtractOnly())
            refuseExtractOnly(L"%s: The full extraction dir path, '%s', is too long!",
                              path.GetPath());
        ::SetFocus(field);
        return false;
    }

    StrictPath installer(path);
    installer.Append(kInstallerFolder, Quillkit::kDirectory);
    StrictPath description(installer);
    description.Append(LoadLauncherString(StringId::kSuiteDescription).c_str(), 0);
    if (Quillkit::FileExists(description.GetPath()) &&
        !Pellquin::SameSuiteInDirectory(description)) {
        os::wstring message = LoadLauncherString(StringId::kOtherSuitePresent);
        os::wstring caption = LoadLauncherString(StringId::kOtherSuiteCaption);
        LauncherBox(m_hWnd, message, caption, MB_OK);
        if (IsExtractOnly())
            refuseExtractOnly(L"%s: A different suite already exists in the extraction dir, '%s'!",
                              installer.GetPath());
        ::SetFocus(field);
        return false;
    }
    return true;
}

void CPellquinDlg::EnableControls(bool enable) {
    for (int id : {IDOK, IDCANCEL, IDC_DOWNLOAD_DIR, IDC_BROWSE})
        ::EnableWindow(GetDlgItem(id), enable);
    EnableMenuItem(GetSystemMenu(m_hWnd, FALSE), SC_CLOSE,
                   MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED));
}

void CPellquinDlg::RunExtraction(const StrictPath& directory) {
    m_downloadDir = directory;
    ShowWaitCursor();
    EnableControls(false);

    DWORD result = kExtractionFatal;
    m_running = true;
    HANDLE worker = CreateThread(nullptr, 0, ExtractionThreadProc, this, 0, nullptr);
    if (worker) {
        // The dialog keeps dispatching, so progress arrives and boxes can be answered.
        Quillkit::WaitWithMessages(reinterpret_cast<os::WaitHandle>(worker));
        // A wait that failed leaves the thread running: wait for it plainly then.
        WaitForSingleObject(worker, INFINITE);
        if (!GetExitCodeThread(worker, &result))
            result = kExtractionFatal;
        CloseHandle(worker);
    }
    m_running = false;
    theApp.m_nExitCode = int32_t(result);
    // Once setup.exe ran to its end, its status is the run's.
    DWORD setupStatus = 0;
    if (result == kExtractionDone && SetupRanToItsEnd(setupStatus))
        theApp.m_nExitCode = int32_t(setupStatus);

    RestoreArrowCursor();
    m_progress.ShowWindow(SW_HIDE);
    EnableControls(true);
    ::SetFocus(GetDlgItem(IDC_DOWNLOAD_DIR));

    if (result != kExtractionFailed) {
        OnCancel();
        return;
    }
    if (IsExtractOnly()) {
        // Hidden, nobody could choose another directory: box 150 has been shown, and
        // the run ends as failed.
        theApp.m_nExitCode = 1;
        OnCancel();
        return;
    }
    theApp.m_nExitCode = 0;
}
