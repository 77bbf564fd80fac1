// A stand-in for a suite's setup.exe. It records how it was started (its command
// line, the arguments the system splits it into, one "arg=" line each, and its
// working directory) and the size of its own file (which tells a copy with bytes
// added from the real one), and, when asked to, stays running until a release
// file appears, so that a test can look at the launcher while it waits.
//
//   E2E_SETUP_RECORD   where to write the record (default: setup-record.txt beside
//                      this program)
//   E2E_SETUP_RELEASE  a file to wait for before ending (at most two minutes)
//   E2E_SETUP_EXIT     the exit status to end with (default 0)
#include "tests/e2e/JsonLines.h"

#include <windows.h>

#include <shellapi.h>

#include <string>

namespace {

std::wstring environment(const wchar_t* name) {
    wchar_t value[1024];
    DWORD n = GetEnvironmentVariableW(name, value, 1024);
    return n > 0 && n < 1024 ? std::wstring(value, n) : std::wstring();
}

std::wstring defaultRecordPath() {
    wchar_t self[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self, n);
    path.erase(path.find_last_of(L'\\') + 1);
    return path + L"setup-record.txt";
}

long long ownFileSize() {
    wchar_t self[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (n == 0 || n >= MAX_PATH || !GetFileAttributesExW(self, GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// A line break or backslash inside an argument must not end or bend its record line.
std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    std::wstring recordPath = environment(L"E2E_SETUP_RECORD");
    if (recordPath.empty())
        recordPath = defaultRecordPath();

    wchar_t cwd[MAX_PATH];
    DWORD cwdLength = GetCurrentDirectoryW(MAX_PATH, cwd);
    std::string record = "cmdline=" + utf8(GetCommandLineW()) + "\n";
    record += "cwd=" + utf8(std::wstring(cwd, cwdLength)) + "\n";
    int argc = 0;
    if (wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc)) {
        for (int i = 1; i < argc; ++i)
            record += "arg=" + escaped(utf8(argv[i])) + "\n";
        LocalFree(argv);
    }
    record += "size=" + std::to_string(ownFileSize()) + "\n";

    // Written under a temporary name and renamed, so a reader never sees half a record.
    std::wstring partial = recordPath + L".part";
    HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 3;
    DWORD written = 0;
    BOOL ok = WriteFile(file, record.data(), DWORD(record.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || !MoveFileExW(partial.c_str(), recordPath.c_str(), MOVEFILE_REPLACE_EXISTING))
        return 3;

    std::wstring release = environment(L"E2E_SETUP_RELEASE");
    if (!release.empty()) {
        for (int waited = 0; waited < 120000; waited += 50) {
            if (GetFileAttributesW(release.c_str()) != INVALID_FILE_ATTRIBUTES)
                break;
            Sleep(50);
        }
    }
    std::wstring exitStatus = environment(L"E2E_SETUP_EXIT");
    return exitStatus.empty() ? 0 : int(wcstoul(exitStatus.c_str(), nullptr, 10));
}
