// Drives the launcher's folder picker the way a user would.
//
//   e2e_picker_driver.exe --image NAME [--type TEXT --answer yes|no | --set TEXT]
//                         [--interrupt-after N] [--finish select|cancel] [--done FILE]
//                         [--timeout SECONDS]
//   e2e_picker_driver.exe --image NAME --shot-ready FILE --shot-release FILE
//
// With --shot-ready it only reports the main dialog's texts, creates the first file
// once the dialog is visible, waits for the second (the screenshot is taken) and
// presses Exit.
//
// Once the main dialog is visible it reports it and presses Browse. When the picker
// opens it reports its labels and field, then either types TEXT key by key and
// presses Enter in the field (--type; a question box is answered with --answer),
// or puts TEXT into the field and presses Select (--set). With --interrupt-after, the
// typing stops after N characters, once the field shows them: a window of the driver's
// own takes the activation from the picker, as another program's window popping up
// would, and gives it back; what the field holds meanwhile is reported, then the rest
// is typed. After --type it waits for
// the picker to move into the typed folder, reports the field, and closes the
// picker with Select or Cancel (--finish). After --set it reports whether the
// picker is still open once the box has been answered, then cancels it. Finally
// it reports the main dialog's directory field and presses Exit. Message boxes are
// reported and answered (OK, or Yes/No for a question). Every observation is one
// JSON line on standard output.
#include "tests/e2e/JsonLines.h"

#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kBrowseButton = 1002;
constexpr int kDirectoryField = 1001;
constexpr int kPickerField = 1152; // the picker's file-name field
constexpr int kPickerLabel = 1090; // its label
constexpr int kLookInLabel = 1091;
constexpr int kFileTypes = 1136;
constexpr int kLookInList = 1137;
constexpr int kBanner = 130;
constexpr int kBoxText = 0xFFFF;
constexpr int kBoxIcon = 0x440;

struct Options {
    std::wstring image, typed, set, answer = L"yes", finish = L"select", doneFile;
    std::wstring shotReady, shotRelease;
    size_t interruptAfter = std::wstring::npos;
    DWORD timeoutMs = 90000;
};

std::wstring windowText(HWND window) {
    if (!window)
        return {};
    wchar_t buffer[1024] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 1024, LPARAM(buffer), SMTO_ABORTIFHUNG, 2000,
                             &copied))
        return {};
    return std::wstring(buffer, copied);
}

std::wstring className(HWND window) {
    wchar_t name[256];
    int n = GetClassNameW(window, name, 256);
    return std::wstring(name, n > 0 ? size_t(n) : 0);
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
        std::wstring name = entry.szExeFile;
        size_t slash = name.find_last_of(L"\\/");
        if (slash != std::wstring::npos)
            name = name.substr(slash + 1);
        if (lstrcmpiW(name.c_str(), image.c_str()) == 0)
            found = entry.th32ProcessID;
    }
    CloseHandle(snapshot);
    return found;
}

struct WindowSearch {
    DWORD processId;
    std::vector<HWND> windows;
};

// A plain function: 32-bit Windows calls it with the stdcall convention.
BOOL CALLBACK collectWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window))
        search->windows.push_back(window);
    return TRUE;
}

std::vector<HWND> topLevelWindows(DWORD processId) {
    WindowSearch search{processId, {}};
    EnumWindows(collectWindow, LPARAM(&search));
    return search.windows;
}

void press(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(dialog, id)));
}

// The look-in list's selected entry: its index changes when the picker moves.
long long lookInSelection(HWND picker) {
    DWORD_PTR index = DWORD_PTR(-1);
    SendMessageTimeoutW(GetDlgItem(picker, kLookInList), CB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 2000,
                        &index);
    return static_cast<long long>(index);
}

std::wstring folded(std::wstring text) {
    while (!text.empty() && text.back() == L'\\')
        text.pop_back();
    CharUpperW(text.data());
    return text;
}

enum class Phase { WaitDialog, WaitPicker, WaitMove, WaitBox, Closing, Done };

class Driver {
public:
    explicit Driver(const Options& options) : options_(options) {}

    int run() {
        DWORD started = GetTickCount();
        while (GetTickCount() - started < options_.timeoutMs) {
            if (!process_) {
                if (DWORD id = findProcess(options_.image)) {
                    process_ =
                        OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
                    processId_ = id;
                }
            }
            if (process_) {
                step();
                if (WaitForSingleObject(process_, 0) == WAIT_OBJECT_0) {
                    DWORD code = 0;
                    GetExitCodeProcess(process_, &code);
                    report("exit", {"\"code\": " + std::to_string(code)});
                    return 0;
                }
            }
            if (!options_.doneFile.empty() &&
                GetFileAttributesW(options_.doneFile.c_str()) != INVALID_FILE_ATTRIBUTES) {
                report("done");
                return 0;
            }
            Sleep(50);
        }
        report("timeout");
        return 2;
    }

private:
    void step() {
        HWND dialog = nullptr, picker = nullptr, box = nullptr;
        for (HWND window : topLevelWindows(processId_)) {
            if (className(window) != L"#32770")
                continue;
            if (GetDlgItem(window, kPickerField))
                picker = window;
            else if (GetDlgItem(window, kDirectoryField))
                dialog = window;
            else if (GetDlgItem(window, kBoxText))
                box = window;
        }
        if (box) {
            answerBox(box);
            return;
        }
        switch (phase_) {
        case Phase::WaitDialog:
            if (dialog) {
                Sleep(300);
                dialog_ = dialog;
                reportDialog(dialog);
                if (!options_.shotReady.empty()) {
                    holdForScreenshot();
                    press(dialog, IDCANCEL);
                    phase_ = Phase::Done;
                    break;
                }
                press(dialog, kBrowseButton);
                phase_ = Phase::WaitPicker;
            }
            break;
        case Phase::WaitPicker:
            if (picker) {
                Sleep(500);
                picker_ = picker;
                openPicker();
            }
            break;
        case Phase::WaitMove:
            waitForMove();
            break;
        case Phase::WaitBox:
            if (boxes_ > 0) {
                Sleep(300);
                report("picker_after_box",
                       {flag("open", IsWindow(picker_) && IsWindowVisible(picker_)),
                        field("field", windowText(field_))});
                press(picker_, IDCANCEL);
                phase_ = Phase::Closing;
            }
            break;
        case Phase::Closing:
            if (!IsWindow(picker_) || !IsWindowVisible(picker_)) {
                Sleep(300);
                report("dialog_after",
                       {field("directory", windowText(GetDlgItem(dialog_, kDirectoryField)))});
                press(dialog_, IDCANCEL);
                phase_ = Phase::Done;
            }
            break;
        case Phase::Done:
            break;
        }
    }

    bool launcherIconLoads() {
        wchar_t path[MAX_PATH] = {};
        DWORD length = MAX_PATH;
        if (!process_ || !QueryFullProcessImageNameW(process_, 0, path, &length))
            return false;
        HMODULE image = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (!image)
            return false;
        bool loaded = true;
        for (int side : {16, 32}) {
            HANDLE icon = LoadImageW(image, MAKEINTRESOURCEW(128), IMAGE_ICON, side, side, 0);
            loaded = loaded && icon;
            if (icon)
                DestroyIcon(static_cast<HICON>(icon));
        }
        FreeLibrary(image);
        return loaded;
    }

    void reportDialog(HWND dialog) {
        std::vector<std::string> fields;
        const std::pair<const char*, int> controls[] = {{"directory", kDirectoryField},
                                                        {"welcome", 1006},
                                                        {"intro", 1005},
                                                        {"label", 1007},
                                                        {"start", IDOK},
                                                        {"exit", IDCANCEL},
                                                        {"browse", kBrowseButton}};
        fields.push_back(field("title", windowText(dialog)));
        for (const auto& [key, id] : controls)
            fields.push_back(field(key, windowText(GetDlgItem(dialog, id))));
        // The banner strip: its picture control's size and whether it holds a bitmap.
        HWND banner = GetDlgItem(dialog, kBanner);
        RECT strip = {};
        GetWindowRect(banner, &strip);
        DWORD_PTR image = 0;
        SendMessageTimeoutW(banner, STM_GETIMAGE, IMAGE_BITMAP, 0, SMTO_ABORTIFHUNG, 2000, &image);
        fields.push_back("\"banner_width\": " + std::to_string(strip.right - strip.left));
        fields.push_back("\"banner_height\": " + std::to_string(strip.bottom - strip.top));
        fields.push_back(flag("banner_image", image != 0));
        // The launcher's icon group, as the system loads it at both of its sizes.
        const bool iconShown = launcherIconLoads();
        fields.push_back(flag("icon", iconShown));
        HDC screen = GetDC(nullptr);
        fields.push_back("\"screen_bits\": " + std::to_string(GetDeviceCaps(screen, BITSPIXEL)));
        ReleaseDC(nullptr, screen);
        report("dialog_shown", fields);
    }

    // Tells the runner the dialog is on screen and waits until its picture is taken.
    void holdForScreenshot() {
        HANDLE ready = CreateFileW(options_.shotReady.c_str(), GENERIC_WRITE, 0, nullptr,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (ready != INVALID_HANDLE_VALUE)
            CloseHandle(ready);
        for (int i = 0; i < 600; ++i) {
            if (GetFileAttributesW(options_.shotRelease.c_str()) != INVALID_FILE_ATTRIBUTES)
                return;
            Sleep(100);
        }
    }

    void openPicker() {
        field_ = GetDlgItem(picker_, kPickerField);
        openLookIn_ = lookInSelection(picker_);
        report("picker_open",
               {field("title", windowText(picker_)), field("field", windowText(field_)),
                field("field_label", windowText(GetDlgItem(picker_, kPickerLabel))),
                field("select", windowText(GetDlgItem(picker_, IDOK))),
                field("cancel", windowText(GetDlgItem(picker_, IDCANCEL))),
                field("look_in", windowText(GetDlgItem(picker_, kLookInLabel))),
                "\"look_in_index\": " + std::to_string(openLookIn_),
                flag("types_visible", IsWindowVisible(GetDlgItem(picker_, kFileTypes)))});
        if (!options_.typed.empty()) {
            // Typed key by key, so the field sees characters as from the keyboard.
            SendMessageTimeoutW(field_, WM_SETTEXT, 0, LPARAM(L""), SMTO_ABORTIFHUNG, 2000,
                                nullptr);
            const std::wstring& typed = options_.typed;
            const size_t split = std::min(options_.interruptAfter, typed.size());
            type(typed.substr(0, split));
            if (split < typed.size()) {
                interrupt(typed.substr(0, split));
                type(typed.substr(split));
            }
            PostMessageW(field_, WM_KEYDOWN, VK_RETURN, 1);
            PostMessageW(field_, WM_KEYUP, VK_RETURN, LPARAM(0xC0000001));
            moveStarted_ = GetTickCount();
            phase_ = Phase::WaitMove;
        } else {
            SendMessageTimeoutW(field_, WM_SETTEXT, 0, LPARAM(options_.set.c_str()),
                                SMTO_ABORTIFHUNG, 2000, nullptr);
            press(picker_, IDOK);
            phase_ = Phase::WaitBox;
        }
    }

    void type(const std::wstring& text) {
        for (wchar_t c : text)
            PostMessageW(field_, WM_CHAR, WPARAM(c), 1);
    }

    // Waits up to `ms` for `done`, handling the messages of the driver's own window.
    template <typename Condition> bool waitFor(Condition done, DWORD ms) {
        const DWORD started = GetTickCount();
        while (!done()) {
            if (GetTickCount() - started >= ms)
                return false;
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&msg);
            Sleep(20);
        }
        return true;
    }

    // Another window takes the activation while the field holds `shown`, then leaves.
    void interrupt(const std::wstring& shown) {
        const bool typed = waitFor([&] { return windowText(field_) == shown; }, 10000);
        HWND other = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"Interruption",
                                     WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0, 240, 120, nullptr,
                                     nullptr, GetModuleHandleW(nullptr), nullptr);
        SetForegroundWindow(other);
        const bool taken = waitFor([&] { return GetForegroundWindow() == other; }, 5000);
        // Time for the picker to react to losing the activation, as it would.
        waitFor([] { return false; }, 500);
        report("interrupted",
               {flag("typed", typed), flag("taken", taken), field("field", windowText(field_)),
                "\"boxes\": " + std::to_string(openBoxes())});
        DestroyWindow(other);
        SetForegroundWindow(picker_);
        waitFor([&] { return GetForegroundWindow() == picker_; }, 5000);
    }

    // The message boxes the launcher shows at this moment.
    int openBoxes() {
        int n = 0;
        for (HWND window : topLevelWindows(processId_))
            if (className(window) == L"#32770" && GetDlgItem(window, kBoxText))
                ++n;
        return n;
    }

    // The picker has moved when, after the question, its look-in list shows another
    // folder.
    void waitForMove() {
        if (boxes_ == 0 && GetTickCount() - moveStarted_ < 15000)
            return;
        std::wstring text = windowText(field_);
        long long lookIn = lookInSelection(picker_);
        // The field may be emptied by the move; when it holds text, that is the folder.
        bool moved =
            lookIn != openLookIn_ && (text.empty() || folded(text) == folded(options_.typed));
        if (!moved && GetTickCount() - moveStarted_ < 15000)
            return;
        Sleep(300);
        report("picker_moved", {field("field", windowText(field_)),
                                "\"look_in\": " + std::to_string(lookIn), flag("moved", moved)});
        press(picker_, options_.finish == L"cancel" ? IDCANCEL : IDOK);
        phase_ = Phase::Closing;
    }

    void answerBox(HWND box) {
        if (answered_.count(box))
            return;
        Sleep(200);
        DWORD_PTR icon = 0;
        if (HWND iconWindow = GetDlgItem(box, kBoxIcon))
            SendMessageTimeoutW(iconWindow, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 2000, &icon);
        bool question = GetDlgItem(box, IDYES) != nullptr;
        report("msgbox", {field("caption", windowText(box)),
                          field("text", windowText(GetDlgItem(box, kBoxText))),
                          flag("icon", icon != 0), flag("question", question),
                          flag("picker_open", picker_ && IsWindowVisible(picker_))});
        answered_.insert(box);
        ++boxes_;
        if (question)
            press(box, options_.answer == L"no" ? IDNO : IDYES);
        else
            press(box, IDOK);
    }

    const Options& options_;
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
    Phase phase_ = Phase::WaitDialog;
    HWND dialog_ = nullptr;
    HWND picker_ = nullptr;
    HWND field_ = nullptr;
    DWORD moveStarted_ = 0;
    long long openLookIn_ = -1;
    int boxes_ = 0;
    std::set<HWND> answered_;
};

bool parse(int argc, wchar_t** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::wstring arg = argv[i];
        if (i + 1 >= argc)
            return false;
        std::wstring value = argv[++i];
        if (arg == L"--image")
            options.image = value;
        else if (arg == L"--type")
            options.typed = value;
        else if (arg == L"--set")
            options.set = value;
        else if (arg == L"--answer")
            options.answer = value;
        else if (arg == L"--finish")
            options.finish = value;
        else if (arg == L"--done")
            options.doneFile = value;
        else if (arg == L"--shot-ready")
            options.shotReady = value;
        else if (arg == L"--shot-release")
            options.shotRelease = value;
        else if (arg == L"--interrupt-after")
            options.interruptAfter = size_t(_wtoi(value.c_str()));
        else if (arg == L"--timeout")
            options.timeoutMs = DWORD(_wtoi(value.c_str())) * 1000;
        else
            return false;
    }
    return !options.image.empty() &&
           (!options.typed.empty() || !options.set.empty() || !options.shotReady.empty());
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::fputs("usage: e2e_picker_driver --image NAME (--type TEXT [--answer yes|no] | "
                   "--set TEXT) [--finish select|cancel] [--done FILE] [--timeout SECONDS]\n",
                   stderr);
        return 64;
    }
    return Driver(options).run();
}
