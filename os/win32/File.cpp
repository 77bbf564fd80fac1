#include "os/File.h"

#include "os/win32/SystemTime.h"

#include <windows.h>

namespace os {

namespace {

constexpr int kOpenAttempts = 4;
constexpr DWORD kRetryDelayMs = 50;

std::wstring widen(const char* utf8) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    if (n <= 1)
        return std::wstring();
    std::wstring wide(size_t(n - 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide.data(), n);
    for (wchar_t& c : wide)
        if (c == L'/')
            c = L'\\';
    return wide;
}

std::string narrow(const wchar_t* wide, UINT codePage) {
    const int n = WideCharToMultiByte(codePage, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1)
        return std::string();
    std::string out(size_t(n - 1), '\0');
    WideCharToMultiByte(codePage, 0, wide, -1, out.data(), n, nullptr, nullptr);
    return out;
}

// Windows NT 4 and the 9x line: ANSI function forms only, no long-path prefix.
bool legacySystem() {
    static const bool legacy = LOBYTE(LOWORD(GetVersion())) == 4;
    return legacy;
}

// Short paths whose every character exists in the ANSI code page go to the
// system unchanged, in the ANSI form; `ansi` receives that form.
bool shortAnsiForm(const std::wstring& wide, std::string& ansi) {
    if (legacySystem()) {
        ansi = narrow(wide.c_str(), CP_ACP);
        return true;
    }
    if (wide.size() >= MAX_PATH)
        return false;
    if (wide.empty()) {
        ansi.clear();
        return true;
    }
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = utf8 ? nullptr : &usedDefault;
    const int n = WideCharToMultiByte(CP_ACP, flags, wide.c_str(), int(wide.size()), nullptr, 0,
                                      nullptr, usedDefaultOut);
    if (n <= 0 || usedDefault)
        return false;
    ansi.assign(size_t(n), '\0');
    WideCharToMultiByte(CP_ACP, flags, wide.c_str(), int(wide.size()), ansi.data(), n, nullptr,
                        usedDefaultOut);
    return !usedDefault;
}

// The \\?\ form of a path, which lifts the MAX_PATH limit and takes names as
// they are. A path whose full form cannot be had is used unchanged.
std::wstring toLongPath(const std::wstring& path) {
    constexpr DWORD kMaxFull = 2048;
    wchar_t full[kMaxFull];
    const DWORD n = GetFullPathNameW(path.c_str(), kMaxFull, full, nullptr);
    const std::wstring fullPath = n == 0 || n >= kMaxFull ? path : std::wstring(full, n);
    if (fullPath.rfind(L"\\\\?\\", 0) == 0)
        return fullPath;
    if (fullPath.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC" + fullPath.substr(1);
    return L"\\\\?\\" + fullPath;
}

// Repeats an open while another process holds the file with conflicting sharing.
template <typename OpenFn> HANDLE openWithRetries(OpenFn open, DWORD share, bool widenShare) {
    HANDLE h = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        if (attempt > 0)
            Sleep(kRetryDelayMs);
        h = open(share);
        if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION)
            break;
        if (widenShare && share == FILE_SHARE_READ)
            share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    }
    return h;
}

bool fail(uint32_t& error) {
    error = GetLastError();
    return false;
}

} // namespace

FileError classifyFileError(uint32_t code) {
    switch (code) {
    case ERROR_SUCCESS:
        return FileError::None;
    case ERROR_FILE_NOT_FOUND:
        return FileError::FileNotFound;
    case ERROR_PATH_NOT_FOUND:
        return FileError::PathNotFound;
    case ERROR_ACCESS_DENIED:
        return FileError::AccessDenied;
    case ERROR_NOT_READY:
        return FileError::NotReady;
    case ERROR_SHARING_VIOLATION:
        return FileError::SharingViolation;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return FileError::AlreadyExists;
    default:
        return FileError::Other;
    }
}

FileHandle openFile(const char* path, const FileOpenRequest& request, uint32_t& error,
                    bool& wideForm) {
    const DWORD access = ((request.access & kAccessRead) ? GENERIC_READ : 0) |
                         ((request.access & kAccessWrite) ? GENERIC_WRITE : 0);
    const DWORD creation = request.creation == FileCreation::OpenExisting ? OPEN_EXISTING
                           : request.creation == FileCreation::OpenAlways ? OPEN_ALWAYS
                           : request.creation == FileCreation::CreateNew  ? CREATE_NEW
                                                                          : CREATE_ALWAYS;
    DWORD flags = (request.flags & kOpenHidden) ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_NORMAL;
    if (request.flags & kOpenBackupSemantics)
        flags |= FILE_FLAG_BACKUP_SEMANTICS;
    const DWORD share = request.share & (FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);

    const std::wstring wide = widen(path);
    std::string ansi;
    HANDLE h;
    if (shortAnsiForm(wide, ansi)) {
        wideForm = false;
        h = openWithRetries(
            [&](DWORD s) {
                return CreateFileA(ansi.c_str(), access, s, nullptr, creation, flags, nullptr);
            },
            share, true);
    } else {
        wideForm = true;
        const std::wstring longPath = toLongPath(wide);
        h = openWithRetries(
            [&](DWORD s) {
                return CreateFileW(longPath.c_str(), access, s, nullptr, creation, flags, nullptr);
            },
            share, false);
    }
    if (h == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return kNoFile;
    }
    error = 0;
    return FileHandle(h);
}

void closeFile(FileHandle file) {
    if (file != kNoFile)
        CloseHandle(HANDLE(file));
}

bool readFile(FileHandle file, void* buffer, uint32_t max, uint32_t& done, uint32_t& error) {
    DWORD n = 0;
    const BOOL ok = ReadFile(HANDLE(file), buffer, max, &n, nullptr);
    done = n;
    return ok || fail(error);
}

bool writeFile(FileHandle file, const void* data, uint32_t length, uint32_t& done,
               uint32_t& error) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    done = 0;
    while (done < length) {
        DWORD n = 0;
        if (!WriteFile(HANDLE(file), bytes + done, length - done, &n, nullptr))
            return fail(error);
        if (n == 0) {
            error = ERROR_DISK_FULL;
            return false;
        }
        done += n;
    }
    return true;
}

bool seekFile(FileHandle file, int64_t offset, SeekFrom from, int64_t& newPosition,
              uint32_t& error) {
    const DWORD method = from == SeekFrom::Begin ? FILE_BEGIN
                         : from == SeekFrom::End ? FILE_END
                                                 : FILE_CURRENT;
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER result;
    if (!SetFilePointerEx(HANDLE(file), distance, &result, method))
        return fail(error);
    newPosition = result.QuadPart;
    return true;
}

bool fileSize(FileHandle file, int64_t& size, uint32_t& error) {
    LARGE_INTEGER result;
    if (!GetFileSizeEx(HANDLE(file), &result))
        return fail(error);
    size = result.QuadPart;
    return true;
}

bool truncateAtPosition(FileHandle file, uint32_t& error) {
    return SetEndOfFile(HANDLE(file)) || fail(error);
}

bool reserveFileSpace(FileHandle file, uint64_t size, uint32_t& error) {
    FILE_ALLOCATION_INFO allocation{};
    allocation.AllocationSize.QuadPart = LONGLONG(size);
    if (SetFileInformationByHandle(HANDLE(file), FileAllocationInfo, &allocation,
                                   sizeof allocation))
        return true;
    const DWORD code = GetLastError();
    if (code == ERROR_INVALID_PARAMETER || code == ERROR_INVALID_FUNCTION ||
        code == ERROR_NOT_SUPPORTED || code == ERROR_CALL_NOT_IMPLEMENTED)
        return true;
    error = code;
    return false;
}

bool fileLastWriteTime(FileHandle file, FileTime& time, uint32_t& error) {
    FILETIME written;
    if (!GetFileTime(HANDLE(file), nullptr, nullptr, &written))
        return fail(error);
    time = fromFileTime(written);
    return true;
}

bool setFileTimes(FileHandle file, FileTime time, uint32_t& error) {
    const FILETIME ft = toFileTime(time);
    return SetFileTime(HANDLE(file), &ft, &ft, &ft) || fail(error);
}

bool getFileAttributes(const char* path, uint32_t& attributes, uint32_t& error) {
    const std::wstring wide = widen(path);
    std::string ansi;
    const DWORD result = shortAnsiForm(wide, ansi) ? GetFileAttributesA(ansi.c_str())
                                                   : GetFileAttributesW(toLongPath(wide).c_str());
    if (result == INVALID_FILE_ATTRIBUTES)
        return fail(error);
    attributes = result;
    return true;
}

bool setFileAttributes(const char* path, uint32_t attributes, uint32_t& error) {
    const std::wstring wide = widen(path);
    const BOOL ok = legacySystem()
                        ? SetFileAttributesA(narrow(wide.c_str(), CP_ACP).c_str(), attributes)
                        : SetFileAttributesW(toLongPath(wide).c_str(), attributes);
    return ok || fail(error);
}

bool createDirectory(const char* path, uint32_t& error) {
    const std::wstring wide = widen(path);
    BOOL ok;
    if (legacySystem())
        ok = CreateDirectoryA(narrow(wide.c_str(), CP_ACP).c_str(), nullptr);
    else
        ok = CreateDirectoryW(wide.empty() ? wide.c_str() : toLongPath(wide).c_str(), nullptr);
    return ok || fail(error);
}

bool deleteFile(const char* path, uint32_t& error) {
    const std::wstring wide = widen(path);
    BOOL ok;
    if (legacySystem())
        ok = DeleteFileA(narrow(wide.c_str(), CP_ACP).c_str());
    else
        ok = DeleteFileW(wide.size() < MAX_PATH + 1 ? wide.c_str() : toLongPath(wide).c_str());
    return ok || fail(error);
}

bool renameFile(const char* from, const char* to, uint32_t& error) {
    const std::wstring source = widen(from);
    const std::wstring target = widen(to);
    BOOL ok;
    if (legacySystem())
        ok = MoveFileA(narrow(source.c_str(), CP_ACP).c_str(),
                       narrow(target.c_str(), CP_ACP).c_str());
    else if (source.empty() && target.empty())
        ok = MoveFileW(source.c_str(), target.c_str());
    else
        ok = MoveFileW(toLongPath(source).c_str(), toLongPath(target).c_str());
    return ok || fail(error);
}

// A rename that may replace its target; the 9x line knows no MoveFileEx, so
// there the old file has to go first.
bool replaceFile(const char* from, const char* to, uint32_t& error) {
    const std::wstring source = widen(from);
    const std::wstring target = widen(to);
    constexpr DWORD kFlags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    if (!legacySystem())
        return MoveFileExW(toLongPath(source).c_str(), toLongPath(target).c_str(), kFlags) ||
               fail(error);
    const std::string ansiSource = narrow(source.c_str(), CP_ACP);
    const std::string ansiTarget = narrow(target.c_str(), CP_ACP);
    if (MoveFileExA(ansiSource.c_str(), ansiTarget.c_str(), kFlags))
        return true;
    if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED)
        return fail(error);
    return (DeleteFileA(ansiTarget.c_str()) && MoveFileA(ansiSource.c_str(), ansiTarget.c_str())) ||
           fail(error);
}

// Only a link in the last place matters here: a file written beside the path
// lands in the folder the path's folders lead to anyway. Systems before Vista
// have no links to files.
bool resolveLinks(const char* path, std::string& target, uint32_t& error) {
    target = path;
    if (legacySystem())
        return true;
    const std::wstring longPath = toLongPath(widen(path));
    const DWORD attributes = GetFileAttributesW(longPath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return true;
    using FinalPathFn = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);
    const auto finalPath = reinterpret_cast<FinalPathFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetFinalPathNameByHandleW")));
    if (!finalPath)
        return true;
    const HANDLE h = CreateFileW(longPath.c_str(), 0,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return fail(error);
    constexpr DWORD kMaxFinal = 2048;
    wchar_t buffer[kMaxFinal];
    const DWORD n = finalPath(h, buffer, kMaxFinal, 0); // normalized, with a drive letter
    if (n == 0 || n >= kMaxFinal) {
        error = n == 0 ? GetLastError() : ERROR_FILENAME_EXCED_RANGE;
        CloseHandle(h);
        return false;
    }
    CloseHandle(h);
    // Callers take the plain forms, C:\dir\name and \\server\share\name.
    std::wstring plain(buffer, n);
    if (plain.rfind(L"\\\\?\\UNC\\", 0) == 0)
        plain = L"\\\\" + plain.substr(8);
    else if (plain.rfind(L"\\\\?\\", 0) == 0)
        plain = plain.substr(4);
    target = narrow(plain.c_str(), CP_UTF8);
    return true;
}

bool copyAccessRights(const char* from, const char* to, uint32_t& error) {
    constexpr uint32_t kKept = kAttrReadOnly | kAttrHidden | kAttrSystem;
    uint32_t source = 0;
    uint32_t target = 0;
    if (!getFileAttributes(from, source, error) || !getFileAttributes(to, target, error))
        return false;
    const uint32_t wanted = (target & ~kKept & ~kAttrNormal) | (source & kKept);
    return wanted == target || setFileAttributes(to, wanted ? wanted : kAttrNormal, error);
}

std::string currentDirectory() {
    wchar_t buffer[2048];
    const DWORD n = GetCurrentDirectoryW(2048, buffer);
    if (n == 0 || n >= 2048)
        return std::string();
    return narrow(buffer, CP_UTF8);
}

} // namespace os
