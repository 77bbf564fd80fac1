// Test helpers for code that works on real files: a fresh directory below the
// system's temporary directory (removed afterwards), UTF-8 paths into it, and
// the text a Logger recorded.
#pragma once

#include "zip/base/Logger.h"
#include "zip/base/XString.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#ifdef _WIN32
#include <windows.h>
#endif
#include <string>

namespace scratch {

inline std::string utf8(const std::filesystem::path& p) {
    const std::u8string text = p.u8string();
    return std::string(text.begin(), text.end());
}

inline std::filesystem::path fsPath(const std::string& utf8Text) {
    return std::filesystem::path(std::u8string(utf8Text.begin(), utf8Text.end()));
}

// An XString holding UTF-8 text, usable where a const XString& is wanted.
struct X {
    vexmar::XString value;
    explicit X(const std::string& text) { value.setFromUtf8(text.c_str()); }
    operator const vexmar::XString&() const { return value; }
};

inline std::string logText(vexmar::Logger& log) {
    vexmar::StringBuffer out;
    log.errorText(out);
    return out.getString();
}

inline std::string readAll(const std::string& path) {
    std::ifstream in(fsPath(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeAll(const std::string& path, const std::string& bytes) {
    std::ofstream out(fsPath(path), std::ios::binary | std::ios::trunc);
    out << bytes;
}

#ifdef _WIN32
// Removes a folder and everything below it; links below it are removed, not followed,
// and read-only files do not keep the tree alive.
inline void removeTree(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring child = path + L"\\" + name;
            const DWORD attributes = found.dwFileAttributes;
            const DWORD kept = attributes & ~(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                              FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY);
            SetFileAttributesW(child.c_str(), kept ? kept : FILE_ATTRIBUTE_NORMAL);
            if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW(child.c_str());
            else if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
                RemoveDirectoryW(child.c_str());
            else
                removeTree(child);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(path.c_str());
}
#endif

class Dir {
public:
    Dir() {
        std::random_device random;
        root_ = std::filesystem::temp_directory_path() /
                ("vexmar-io-test-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(root_);
    }
    ~Dir() {
#ifdef _WIN32
        // Tests leave paths longer than MAX_PATH behind, which the 32-bit C++ runtime's
        // directory walk does not finish on under Wine: removed with the system's calls.
        removeTree(L"\\\\?\\" + root_.wstring());
#else
        std::error_code walking;
        std::error_code ignored;
        // Read-only files must not keep the tree alive.
        for (std::filesystem::recursive_directory_iterator it(root_, walking), end;
             !walking && it != end; it.increment(walking))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_write,
                                         std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(root_, ignored);
#endif
    }
    Dir(const Dir&) = delete;
    Dir& operator=(const Dir&) = delete;

    std::string path() const {
        return utf8(root_);
    }
    // A path below the directory; `relative` uses "/" and is UTF-8.
    std::string operator[](const std::string& relative) const {
        return utf8(root_ / fsPath(relative).make_preferred());
    }

private:
    std::filesystem::path root_;
};

} // namespace scratch
