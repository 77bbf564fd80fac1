#include "os/Beneath.h"

#include <windows.h>

namespace os {

namespace {

std::wstring widen(const std::string& utf8) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), int(utf8.size()), nullptr, 0);
    std::wstring wide(size_t(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), int(utf8.size()), wide.data(), n);
    for (wchar_t& c : wide)
        if (c == L'/')
            c = L'\\';
    return wide;
}

std::string narrow(const std::wstring& wide) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), int(wide.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(size_t(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), int(wide.size()), out.data(), n, nullptr,
                            nullptr);
    return out;
}

// The \\?\ form of an absolute path: names are taken as they are, at any length.
std::wstring longForm(const std::wstring& full) {
    if (full.rfind(L"\\\\?\\", 0) == 0)
        return full;
    if (full.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC" + full.substr(1);
    return L"\\\\?\\" + full;
}

// A folder held open for its attributes and times, and so that it cannot be renamed away
// (no delete sharing) while the walk goes on below it.
HANDLE openFolderHandle(const std::wstring& path, bool followLink) {
    DWORD flags = FILE_FLAG_BACKUP_SEMANTICS;
    if (!followLink)
        flags |= FILE_FLAG_OPEN_REPARSE_POINT;
    return CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, flags, nullptr);
}

bool attributesOf(HANDLE h, DWORD& attributes) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(h, &info))
        return false;
    attributes = info.dwFileAttributes;
    return true;
}

constexpr DWORD kInTheWay = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// Clears what keeps a file from being replaced and deletes it, through a handle opened on the
// name itself (a link there is reported, not followed).
bool removeExisting(const std::wstring& path, uint32_t& error, bool& link) {
    HANDLE h = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | DELETE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD e = GetLastError();
        if (e == ERROR_FILE_NOT_FOUND)
            return true;
        error = e;
        return false;
    }
    DWORD attributes = 0;
    bool ok = attributesOf(h, attributes);
    if (ok && (attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY))) {
        link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        CloseHandle(h);
        error = link ? ERROR_CANT_ACCESS_FILE : ERROR_DIRECTORY;
        return false;
    }
    if (ok && (attributes & kInTheWay)) {
        FILE_BASIC_INFO basic{};
        basic.FileAttributes = (attributes & ~kInTheWay) ? (attributes & ~kInTheWay)
                                                        : FILE_ATTRIBUTE_NORMAL;
        ok = SetFileInformationByHandle(h, FileBasicInfo, &basic, sizeof basic);
    }
    if (ok) {
        FILE_DISPOSITION_INFO disposition{};
        disposition.DeleteFile = TRUE;
        ok = SetFileInformationByHandle(h, FileDispositionInfo, &disposition, sizeof disposition);
    }
    if (!ok)
        error = GetLastError();
    CloseHandle(h);
    return ok;
}

std::wstring inFolder(const OpenFolder& folder, const std::string& name) {
    std::wstring path = widen(folder.path());
    if (path.empty() || path.back() != L'\\')
        path += L'\\';
    return path + widen(name);
}

} // namespace

bool dropsTrailingDots() {
    return true;
}

std::string absolutePath(const char* path) {
    std::wstring wide = widen(path);
    if (wide.empty())
        wide = L".";
    DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (n == 0)
        return std::string();
    std::wstring full(n, L'\0');
    n = GetFullPathNameW(wide.c_str(), n, full.data(), nullptr);
    if (n == 0 || n >= full.size())
        return std::string();
    full.resize(n);
    return narrow(full);
}

OpenFolder openFolderBeneath(const std::string& base, const std::vector<std::string>& names,
                             size_t count, BeneathFailure& failure) {
    OpenFolder folder;
    failure = BeneathFailure{};
    std::wstring path = longForm(widen(base));
    // "C:\" keeps its separator: without it, the name is the volume itself.
    while (path.size() > 4 && path.back() == L'\\' && path[path.size() - 2] != L':')
        path.pop_back();
    // The starting folder is the caller's choice and may be a link.
    HANDLE h = openFolderHandle(path, true);
    DWORD attributes = 0;
    if (h == INVALID_HANDLE_VALUE || !attributesOf(h, attributes) ||
        !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        failure.error = h == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_DIRECTORY;
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
        return folder;
    }
    std::vector<FileHandle> chain{FileHandle(h)};
    const auto fail = [&](size_t i, uint32_t error) {
        failure.name = i;
        failure.error = error;
        for (FileHandle held : chain)
            CloseHandle(HANDLE(held));
        return OpenFolder();
    };
    for (size_t i = 0; i < count && i < names.size(); ++i) {
        if (path.back() != L'\\')
            path += L'\\';
        path += widen(names[i]);
        if (!CreateDirectoryW(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return fail(i, GetLastError());
        h = openFolderHandle(path, false);
        if (h == INVALID_HANDLE_VALUE)
            return fail(i, GetLastError());
        chain.push_back(FileHandle(h));
        if (!attributesOf(h, attributes))
            return fail(i, GetLastError());
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            failure.link = true;
            return fail(i, ERROR_CANT_ACCESS_FILE);
        }
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            failure.notFolder = true;
            return fail(i, ERROR_DIRECTORY);
        }
    }
    folder.chain_ = std::move(chain);
    folder.path_ = narrow(path);
    return folder;
}

FileHandle replaceFileIn(const OpenFolder& folder, const std::string& name, bool hidden,
                         uint32_t& error, bool& link) {
    link = false;
    const std::wstring path = inFolder(folder, name);
    if (!removeExisting(path, error, link))
        return kNoFile;
    const DWORD attributes = hidden ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_NORMAL;
    HANDLE h = INVALID_HANDLE_VALUE;
    // Another program may still hold the old file for a moment.
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (attempt > 0)
            Sleep(50);
        h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                        attributes | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        const DWORD e = GetLastError();
        if (h != INVALID_HANDLE_VALUE || (e != ERROR_SHARING_VIOLATION && e != ERROR_ACCESS_DENIED))
            break;
    }
    if (h == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return kNoFile;
    }
    error = 0;
    return FileHandle(h);
}

bool deleteFileIn(const OpenFolder& folder, const std::string& name, uint32_t& error) {
    const std::wstring path = inFolder(folder, name);
    if (DeleteFileW(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND)
        return true;
    error = GetLastError();
    return false;
}

bool removeEmptyFolderIn(const OpenFolder& folder, const std::string& name, uint32_t& error) {
    // The folder's chain is held open, so no name on the way can be swapped meanwhile; a
    // junction there is removed itself, never what it points to. Not empty fails.
    const std::wstring path = inFolder(folder, name);
    if (RemoveDirectoryW(path.c_str()))
        return true;
    error = GetLastError();
    return false;
}

bool isLink(const char* path) {
    const std::wstring wide = widen(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool setAttributesOf(FileHandle file, uint32_t attributes, uint32_t& error) {
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
    if (SetFileInformationByHandle(HANDLE(file), FileBasicInfo, &basic, sizeof basic))
        return true;
    error = GetLastError();
    return false;
}

} // namespace os
