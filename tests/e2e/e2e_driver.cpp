// Watches one running launcher, the way a user would see it, and answers it.
//
//   e2e_driver.exe --image NAME [--dir TEXT | --exit] [--hold RECORD RELEASE]
//                  [--exit-after-box] [--set-def-id] [--go FILE] [--done FILE]
//                  [--timeout SECONDS] [--interval MS]
//
// It finds the process whose program file is NAME, then, until that process ends:
//  - reports every message box (caption, text, whether it shows an icon, its buttons)
//    and presses its OK button;
//  - reports the main dialog (title, texts, the proposed directory) and, once it is
//    visible, types TEXT into the directory field and presses Start (--dir), or
//    presses Exit (--exit, also the default so that a test never hangs on it);
//  - follows the progress bar after Start;
//  - with --hold, waits for the installer's record file RECORD to appear, reports the
//    dialog's state while the installer runs, then creates RELEASE so it may end;
//  - with --exit-after-box, once it has answered a message box and the dialog takes
//    input again (a refused folder), reports whether the dialog is still on screen
//    and presses Exit;
//  - with --set-def-id, sends the dialog manager's DM_SETDEFID (the Start button
//    stays the default) before it acts, and waits a second;
//  - with --go, acts on the shown dialog only once FILE exists, so that a test may
//    change things in between.
// Every observation is one JSON object on its own line of standard output. The run
// ends when the process has ended (its exit code is reported), when the file given
// by --done appears, or after the timeout (exit status 2). It looks every 20 ms
// unless --interval says otherwise.
#include "tests/e2e/JsonLines.h"

#include <windows.h>

#include <commctrl.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cwchar>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int kStartButton = 1;
constexpr int kExitButton = 2;
constexpr int kDirectoryField = 1001;
constexpr int kProgressBar = 1003;
constexpr int kIntroText = 1005;
constexpr int kWelcomeText = 1006;
constexpr int kDirectoryLabel = 1007;
constexpr int kBrowseButton = 1002;
constexpr int kBoxText = 0xFFFF; // the static text of a message box
constexpr int kBoxIcon = 0x440;  // the icon of a message box

struct Options {
    std::wstring image;
    std::wstring directory;
    bool pressExit = false;
    bool exitAfterBox = false;
    bool setDefId = false;
    std::wstring goFile;
    std::wstring holdRecord;
    std::wstring holdRelease;
    std::wstring doneFile;
    DWORD timeoutMs = 90000;
    DWORD intervalMs = 20;
};

// The text of another process's window, asked for with WM_GETTEXT (which Windows
// carries across processes) rather than the cached caption.
std::wstring windowText(HWND window) {
    if (!window)
        return {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length))
        return {};
    std::vector<wchar_t> buffer(length + 2, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(), LPARAM(buffer.data()),
                             SMTO_ABORTIFHUNG, 2000, &copied))
        return {};
    return std::wstring(buffer.data(), copied);
}

std::wstring className(HWND window) {
    wchar_t name[256];
    int n = GetClassNameW(window, name, 256);
    return std::wstring(name, n > 0 ? size_t(n) : 0);
}

bool fileExists(const std::wstring& path) {
    return !path.empty() && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring baseName(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

DWORD findProcess(const std::wstring& image) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    DWORD found = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found;
         more = Process32NextW(snapshot, &entry)) {
        if (lstrcmpiW(baseName(entry.szExeFile).c_str(), image.c_str()) == 0)
            found = entry.th32ProcessID;
    }
    CloseHandle(snapshot);
    return found;
}

struct WindowSearch {
    DWORD processId;
    std::vector<HWND> windows;
};

// A named function: a lambda has no stdcall form for the 32-bit callback.
BOOL CALLBACK collectProcessWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId)
        search->windows.push_back(window);
    return TRUE;
}

std::vector<HWND> topLevelWindows(DWORD processId) {
    WindowSearch search{processId, {}};
    EnumWindows(collectProcessWindow, LPARAM(&search));
    return search.windows;
}

void press(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(dialog, id)));
}

class Driver {
public:
    explicit Driver(const Options& options) : options_(options) {}

    int run() {
        // Wine starts its desktop process on first use; better now than while the
        // launcher waits for it.
        GetDesktopWindow();
        DWORD started = GetTickCount();
        while (GetTickCount() - started < options_.timeoutMs) {
            if (!process_) {
                if (DWORD id = findProcess(options_.image)) {
                    process_ =
                        OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
                    processId_ = id;
                    report("process", {field("pid", id)});
                }
            }
            if (process_) {
                watchWindows();
                holdInstaller();
                if (WaitForSingleObject(process_, 0) == WAIT_OBJECT_0) {
                    DWORD code = 0;
                    GetExitCodeProcess(process_, &code);
                    report("exit", {field("code", code)});
                    return 0;
                }
            }
            if (fileExists(options_.doneFile)) {
                report("done");
                return 0;
            }
            Sleep(options_.intervalMs);
        }
        report("timeout");
        return 2;
    }

private:
    void watchWindows() {
        for (HWND window : topLevelWindows(processId_)) {
            if (className(window) != L"#32770") {
                if (IsWindowVisible(window) && others_.insert(window).second)
                    report("window",
                           {field("class", className(window)), field("title", windowText(window))});
                continue;
            }
            if (GetDlgItem(window, kBoxText))
                messageBox(window);
            else if (GetDlgItem(window, kDirectoryField))
                mainDialog(window);
        }
    }

    void messageBox(HWND box) {
        if (answered_.count(box) || !IsWindowVisible(box))
            return;
        // Let the box finish opening before it is read and answered.
        Sleep(200);
        std::vector<std::string> fields = {field("caption", windowText(box)),
                                           field("text", windowText(GetDlgItem(box, kBoxText)))};
        HWND icon = GetDlgItem(box, kBoxIcon);
        DWORD_PTR iconHandle = 0;
        if (icon)
            SendMessageTimeoutW(icon, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 2000, &iconHandle);
        fields.push_back(flag("icon", iconHandle != 0));
        std::string buttons = "\"buttons\": [";
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (className(child) == L"Button" && IsWindowVisible(child)) {
                if (buttons.back() != '[')
                    buttons += ", ";
                buttons += quoted(windowText(child));
            }
        }
        fields.push_back(buttons + "]");
        fields.push_back(flag("dialog_visible", dialog_ && IsWindowVisible(dialog_)));
        report("msgbox", fields);
        answered_.insert(box);
        press(box, IDOK);
    }

    void mainDialog(HWND dialog) {
        if (dialog != dialog_) {
            dialog_ = dialog;
            report("dialog", {flag("visible", IsWindowVisible(dialog))});
        }
        if (!IsWindowVisible(dialog))
            return;
        if (!shown_) {
            shown_ = true;
            // Give the dialog a moment to finish its initialisation before it is read.
            Sleep(300);
            report("dialog_shown",
                   {field("title", windowText(dialog)),
                    field("welcome", windowText(GetDlgItem(dialog, kWelcomeText))),
                    field("intro", windowText(GetDlgItem(dialog, kIntroText))),
                    field("label", windowText(GetDlgItem(dialog, kDirectoryLabel))),
                    field("directory", windowText(GetDlgItem(dialog, kDirectoryField))),
                    field("start", windowText(GetDlgItem(dialog, kStartButton))),
                    field("exit", windowText(GetDlgItem(dialog, kExitButton))),
                    field("browse", windowText(GetDlgItem(dialog, kBrowseButton))),
                    flag("progress_visible", IsWindowVisible(GetDlgItem(dialog, kProgressBar)))});
        }
        // Once the run that showed the box is over, Start is enabled again.
        if (options_.exitAfterBox && !answered_.empty() && !exitedAfterBox_ &&
            IsWindowEnabled(dialog) && IsWindowEnabled(GetDlgItem(dialog, kStartButton))) {
            exitedAfterBox_ = true;
            Sleep(300);
            report("after_box", {flag("dialog_visible", IsWindowVisible(dialog))});
            press(dialog, kExitButton);
            report("pressed", {field("button", kExitButton)});
            return;
        }
        if (!acted_) {
            if (!options_.goFile.empty() && !fileExists(options_.goFile))
                return;
            acted_ = true;
            if (options_.setDefId) {
                SendMessageTimeoutW(dialog, DM_SETDEFID, kStartButton, 0, SMTO_ABORTIFHUNG, 2000,
                                    nullptr);
                report("sent", {field("message", L"DM_SETDEFID")});
                Sleep(1000);
            }
            if (!options_.directory.empty() && !options_.pressExit) {
                SendMessageTimeoutW(GetDlgItem(dialog, kDirectoryField), WM_SETTEXT, 0,
                                    LPARAM(options_.directory.c_str()), SMTO_ABORTIFHUNG, 2000,
                                    nullptr);
                report("typed",
                       {field("directory", windowText(GetDlgItem(dialog, kDirectoryField)))});
                press(dialog, kStartButton);
                report("pressed", {field("button", kStartButton)});
            } else {
                press(dialog, kExitButton);
                report("pressed", {field("button", kExitButton)});
            }
            return;
        }
        watchProgress(dialog);
    }

    void watchProgress(HWND dialog) {
        HWND bar = GetDlgItem(dialog, kProgressBar);
        if (!bar || !IsWindowVisible(bar))
            return;
        DWORD_PTR position = 0;
        SendMessageTimeoutW(bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 2000, &position);
        if (static_cast<long long>(position) > progress_) {
            progress_ = static_cast<long long>(position);
            report("progress", {field("position", progress_)});
        }
    }

    // While the installer stand-in runs, the launcher must be waiting for it.
    void holdInstaller() {
        if (released_ || !fileExists(options_.holdRecord))
            return;
        Sleep(500);
        std::vector<std::string> fields = {
            flag("launcher_running", WaitForSingleObject(process_, 0) == WAIT_TIMEOUT)};
        if (dialog_) {
            watchProgress(dialog_);
            HWND bar = GetDlgItem(dialog_, kProgressBar);
            fields.push_back(flag("dialog_visible", IsWindowVisible(dialog_)));
            fields.push_back(flag("progress_visible", bar && IsWindowVisible(bar)));
            fields.push_back(field("progress_max", progress_));
            fields.push_back(
                flag("start_enabled", IsWindowEnabled(GetDlgItem(dialog_, kStartButton))));
            fields.push_back(
                flag("field_enabled", IsWindowEnabled(GetDlgItem(dialog_, kDirectoryField))));
        }
        report("installer_running", fields);
        HANDLE release = CreateFileW(options_.holdRelease.c_str(), GENERIC_WRITE, 0, nullptr,
                                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (release != INVALID_HANDLE_VALUE)
            CloseHandle(release);
        released_ = true;
    }

    const Options& options_;
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
    HWND dialog_ = nullptr;
    bool shown_ = false;
    bool acted_ = false;
    bool released_ = false;
    bool exitedAfterBox_ = false;
    long long progress_ = -1;
    std::set<HWND> answered_;
    std::set<HWND> others_;
};

bool parse(int argc, wchar_t** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::wstring arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == L"--image" && hasValue)
            options.image = argv[++i];
        else if (arg == L"--dir" && hasValue)
            options.directory = argv[++i];
        else if (arg == L"--exit")
            options.pressExit = true;
        else if (arg == L"--exit-after-box")
            options.exitAfterBox = true;
        else if (arg == L"--set-def-id")
            options.setDefId = true;
        else if (arg == L"--go" && hasValue)
            options.goFile = argv[++i];
        else if (arg == L"--hold" && i + 2 < argc) {
            options.holdRecord = argv[++i];
            options.holdRelease = argv[++i];
        } else if (arg == L"--done" && hasValue)
            options.doneFile = argv[++i];
        else if (arg == L"--timeout" && hasValue)
            options.timeoutMs = DWORD(_wtoi(argv[++i])) * 1000;
        else if (arg == L"--interval" && hasValue)
            options.intervalMs = DWORD(_wtoi(argv[++i]));
        else
            return false;
    }
    return !options.image.empty();
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::fputs("usage: e2e_driver --image NAME [--dir TEXT | --exit] "
                   "[--hold RECORD RELEASE] [--exit-after-box] [--set-def-id] [--go FILE] "
                   "[--done FILE] "
                   "[--timeout SECONDS] "
                   "[--interval MS]\n",
                   stderr);
        return 64;
    }
    return Driver(options).run();
}
