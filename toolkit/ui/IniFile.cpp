#include "toolkit/ui/IniFile.h"

#include "os/Profile.h"
#include "resources/StringIds.h"
#include "toolkit/diag/ErrorCodes.h"
#include "toolkit/diag/Raise.h"
#include "toolkit/diag/ToolkitStrings.h"
#include "toolkit/path/FileTests.h"

#include <cstdlib>

namespace Quillkit {

namespace {

constexpr uint32_t kFirstListSize = 2048;
constexpr uint32_t kFirstValueSize = 256;

WChar foldCase(WChar c) {
    return c >= 'A' && c <= 'Z' ? WChar(c + ('a' - 'A')) : c;
}

bool sameIgnoringCase(const WString& a, const WChar* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (foldCase(a[i]) != foldCase(b[i]))
            return false;
    return i == a.size() && !b[i];
}

// Frees the grown key list however ForEach ends.
class HeapList {
public:
    ~HeapList() { std::free(block_); }
    WChar* Resize(uint32_t units) {
        std::free(block_);
        block_ = static_cast<WChar*>(std::malloc(size_t(units) * sizeof(WChar)));
        return block_;
    }

private:
    WChar* block_ = nullptr;
};

} // namespace

IniFile& IniFile::operator=(const StrictPath& path) {
    m_path = path;
    m_exists = false;
    return *this;
}

bool IniFile::Exists() {
    if (!m_exists)
        m_exists = FileExists(m_path.GetPath());
    return m_exists;
}

void IniFile::ForEach(ForEach_Functor& functor, const WChar* section) {
    WChar first[kFirstListSize];
    WChar* list = first;
    uint32_t size = kFirstListSize;
    uint32_t result =
        os::getProfileString(section, nullptr, QK_TEXT(""), list, size, m_path.GetPath());
    if (result == 0)
        return;
    HeapList heap;
    while (result >= size - 2) {
        size *= 2;
        list = heap.Resize(size);
        if (!list) {
            RaiseErrorMessage(ErrorCode::kOutOfMemory,
                              QK_TEXT("malloc returned NULL - out of memory!"));
            return;
        }
        result = os::getProfileString(section, nullptr, QK_TEXT(""), list, size, m_path.GetPath());
        if (result == 0) {
            RaiseWindowsError(QK_TEXT("GetPrivateProfileString"));
            return;
        }
    }
    for (const WChar* name = list; *name; name += os::wideLength(name) + 1)
        if (!functor(name))
            break;
}

bool ForEach_HasItem::operator()(const WChar* name) {
    if (sameIgnoringCase(m_name, name)) {
        found = true;
        return false;
    }
    return true;
}

bool IniSection::HasItem(const WChar* key, IniItem& item) {
    ForEach_HasItem search(key);
    m_file->ForEach(search, m_name.c_str());
    if (!search.found)
        return false;
    item = IniItem(this, key);
    return true;
}

bool IniSection::GetItem(const WChar* key, IniItem& item) {
    if (!m_file->Exists()) {
        RaiseDetailedError(
            ErrorCode::kBadInput, LoadToolkitString(StringId::kFileNotFound),
            LoadToolkitString(StringId::kIniFileMissing, m_file->GetPath().GetPath()),
            QK_TEXT("The ini file does not exist."));
        return false;
    }
    if (HasItem(key, item))
        return true;
    RaiseErrorMessage(ErrorCode::kBadInput, QK_TEXT("Ini item not defined: [%s] %s"),
                      m_name.c_str(), key);
    return false;
}

void IniItem::GetValue(WString& value) {
    uint32_t size = kFirstValueSize;
    for (;;) {
        value.assign(size, WChar(0));
        const uint32_t result =
            os::getProfileString(m_section->GetName().c_str(), m_key.c_str(), QK_TEXT(""),
                                 value.data(), size, m_section->GetFile()->GetPath().GetPath());
        const size_t end = value.find(WChar(0));
        if (end != WString::npos)
            value.resize(end);
        if (result != size - 1)
            return;
        size *= 2;
    }
}

} // namespace Quillkit
