// Stand-in for the toolkit's strict paths while they are being written: just what
// the launcher's dialog calls, with the same names, so the dialog does not change
// when the toolkit's versions take over.
#pragma once

#include "toolkit/diag/ErrorCodes.h"
#include "toolkit/diag/Raise.h"

#include <windows.h>

#include <string>

namespace Quillkit {

inline bool FileExists(const wchar_t* path) {
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

class StrictPath {
public:
    static constexpr int kDirectory = 0x10;

    explicit StrictPath(int attributes) : attributes_(attributes) {}
    StrictPath(const wchar_t* path, int attributes) : attributes_(attributes) {
        Assign(path, attributes);
    }

    const wchar_t* GetPath() const { return path_.c_str(); }
    bool IsEmpty() const { return path_.empty(); }

    void Assign(const wchar_t* path, int attributes) {
        std::wstring text = path ? path : L"";
        if (text.size() > 259 || text.find_first_of(L"<>\"|?*") != std::wstring::npos)
            RaiseErrorMessage(ErrorCode::kInvalidPath, L"Invalid path: %s", text.c_str());
        attributes_ = attributes;
        path_ = text;
        Revalidate();
    }
    void Append(const wchar_t* more, int attributes) {
        std::wstring joined = path_ + more;
        if (joined.size() + ((attributes & kDirectory) ? 1 : 0) > 259)
            RaiseErrorMessage(ErrorCode::kInvalidPath, L"Path too long: %s", joined.c_str());
        attributes_ = attributes;
        path_ = joined;
        Revalidate();
    }
    bool IsAbsolute() const {
        return path_.size() >= 2 && (path_[1] == L':' || (path_[0] == L'\\' && path_[1] == L'\\'));
    }
    void MakeAbsolute(int attributes) {
        if (IsAbsolute())
            return;
        wchar_t current[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, current);
        std::wstring relative = path_;
        Assign(current, kDirectory);
        Append(relative.c_str(), attributes);
    }
    void GetVolume(bool) {
        wchar_t volume[MAX_PATH] = {};
        if (GetVolumePathNameW(path_.c_str(), volume, MAX_PATH))
            Assign(volume, kDirectory);
        else
            Assign(path_.substr(0, 3).c_str(), kDirectory);
    }
    void GetParentDirectory() {
        std::wstring text = path_;
        if (!text.empty() && text.back() == L'\\')
            text.pop_back();
        size_t slash = text.find_last_of(L'\\');
        text.erase(slash == std::wstring::npos ? 0 : slash + 1);
        path_ = text;
        attributes_ = kDirectory;
    }

private:
    void Revalidate() {
        if ((attributes_ & 0xF0) == kDirectory && !path_.empty() && path_.back() != L'\\')
            path_ += L'\\';
    }

    int attributes_;
    std::wstring path_;
};

} // namespace Quillkit
