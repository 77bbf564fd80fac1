#include "tests/e2e/WindowWatch.h"

#include <tlhelp32.h>

#include <cstdio>

namespace e2e {

std::string utf8(const std::wstring& text) {
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr,
                                nullptr);
    std::string out(size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::string quoted(const std::wstring& text) {
    std::string out = "\"";
    for (unsigned char c : utf8(text)) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", c);
                out += escape;
            } else {
                out += char(c);
            }
        }
    }
    return out + "\"";
}

void report(const char* name, const std::vector<std::string>& fields) {
    std::string line = std::string("{\"event\": \"") + name + "\"";
    for (const std::string& field : fields)
        line += ", " + field;
    line += "}\n";
    std::fputs(line.c_str(), stdout);
    std::fflush(stdout);
}

std::string field(const char* key, const std::wstring& value) {
    return std::string("\"") + key + "\": " + quoted(value);
}
std::string field(const char* key, long long value) {
    return std::string("\"") + key + "\": " + std::to_string(value);
}
std::string flag(const char* key, bool value) {
    return std::string("\"") + key + "\": " + (value ? "true" : "false");
}

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

namespace {

struct WindowSearch {
    DWORD processId;
    bool visibleOnly;
    std::vector<HWND> windows;
};

// A named function: a lambda has no stdcall form for the 32-bit callback.
BOOL CALLBACK collectProcessWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && (!search->visibleOnly || IsWindowVisible(window)))
        search->windows.push_back(window);
    return TRUE;
}

} // namespace

std::vector<HWND> topLevelWindows(DWORD processId, bool visibleOnly) {
    WindowSearch search{processId, visibleOnly, {}};
    EnumWindows(collectProcessWindow, LPARAM(&search));
    return search.windows;
}

void press(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(dialog, id)));
}

} // namespace e2e
