#include "toolkit/path/StrictPath.h"

#include "os/Directory.h"
#include "os/DynamicLibrary.h"
#include "resources/StringIds.h"
#include "toolkit/diag/ErrorCodes.h"
#include "toolkit/diag/PrintfFormat.h"
#include "toolkit/diag/Raise.h"
#include "toolkit/diag/ToolkitStrings.h"
#include "toolkit/diag/TraceGuard.h"
#include "toolkit/path/CheckPath.h"
#include "toolkit/platform/StaticBindings.h"

#include <cstring>

namespace Quillkit {

namespace {

constexpr size_t kMaxLength = kMaxPath - 1;
const WChar* const kTraceName = QK_TEXT("Quillkit::StrictPath::StrictPath");

size_t length(const WChar* text) {
    return os::wideLength(text);
}

// Copies at most 259 units of `text` and terminates the copy.
void copyText(WChar* target, const WChar* text) {
    size_t n = 0;
    while (n < kMaxLength && text[n]) {
        target[n] = text[n];
        ++n;
    }
    target[n] = 0;
}

WChar foldCase(WChar c) {
    return c >= 'A' && c <= 'Z' ? WChar(c + ('a' - 'A')) : c;
}

// Whether `text` begins with `prefix`, ignoring the case of A to Z.
bool startsWithIgnoringCase(const WChar* text, const WChar* prefix, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (!text[i] || foldCase(text[i]) != foldCase(prefix[i]))
            return false;
    return true;
}

bool beginsWithParent(const WChar* text) {
    return text[0] == '.' && text[1] == '.' && text[2] == '\\';
}

WString parameterName(const char* name) {
    return os::fromUtf8(name, std::strlen(name));
}

void raisePathTooLong(const WString& detail, size_t current, size_t appended) {
    RaiseDetailedError(
        ErrorCode::kInvalidPath, LoadToolkitString(StringId::kInvalidPath), detail,
        PrintfText(QK_TEXT("Path too long: current length is %d; append length is %d; "
                           "MAX_PATH is %d"),
                   int(current), int(appended), int(kMaxPath)));
}

} // namespace

StrictPath::StrictPath(int attributes) : attributes(attributes) {
    TraceGuard trace(kTraceName);
    path[0] = 0;
    path[kMaxLength] = 0;
    Revalidate();
}

StrictPath::StrictPath(const WChar* text, int attributes) : attributes(attributes) {
    TraceGuard trace(kTraceName);
    path[0] = 0;
    path[kMaxLength] = 0;
    CheckInput(text, "strPath");
    copyText(path, text);
    Revalidate();
    Normalize();
}

StrictPath::StrictPath(const StrictPath& other) : attributes(other.attributes) {
    TraceGuard trace(kTraceName);
    copyText(path, other.path);
    path[kMaxLength] = 0;
}

StrictPath::~StrictPath() = default;

StrictPath& StrictPath::operator=(const StrictPath& other) {
    TraceGuard trace(QK_TEXT("Quillkit::StrictPath::operator ="));
    if (this == &other)
        return *this;
    copyText(path, other.path);
    ChangeAttributes(other.attributes & 0xFFFF, int(0xFFFF00FF));
    return *this;
}

StrictPath& StrictPath::operator+=(const StrictPath& other) {
    TraceGuard trace(QK_TEXT("Quillkit::StrictPath::operator +="));
    AppendStep(other.path, other.attributes & 0xFFFF);
    return *this;
}

StrictPath StrictPath::operator+(const StrictPath& other) const {
    TraceGuard trace(QK_TEXT("Quillkit::StrictPath::operator +"));
    StrictPath result(*this);
    result += other;
    return result;
}

bool StrictPath::operator==(const StrictPath& other) const {
    return Compare(other) == 0;
}
bool StrictPath::operator!=(const StrictPath& other) const {
    return Compare(other) != 0;
}
bool StrictPath::operator<(const StrictPath& other) const {
    return Compare(other) < 0;
}
bool StrictPath::operator>(const StrictPath& other) const {
    return Compare(other) > 0;
}
bool StrictPath::operator<=(const StrictPath& other) const {
    return Compare(other) < 1;
}
bool StrictPath::operator>=(const StrictPath& other) const {
    return Compare(other) >= 0;
}

void StrictPath::Assign(const WChar* text, int newAttributes) {
    TraceGuard trace(QK_TEXT("Quillkit::StrictPath::Assign"));
    CheckInput(text, "strPath");
    copyText(path, text);
    attributes = newAttributes | (attributes & kModeMask);
    Revalidate();
    Normalize();
}

void StrictPath::Append(const WChar* pathToAppend, int appendAttributes) {
    TraceGuard trace(QK_TEXT("Quillkit::StrictPath::Append"));
    CheckInput(pathToAppend, "pathToAppend");
    AppendStep(pathToAppend, appendAttributes);
    Normalize();
}

void StrictPath::Clear() {
    path[0] = 0;
}

bool StrictPath::IsEmpty() const {
    return path[0] == 0;
}

int StrictPath::Compare(const StrictPath& other) const {
    TraceGuard trace(QK_TEXT("Quillkit::StrictPath::Compare"));
    if ((attributes & 0xFF) != (other.attributes & 0xFF))
        return (attributes & 0xFF) - (other.attributes & 0xFF);
    for (size_t i = 0;; ++i) {
        const WChar a = foldCase(path[i]);
        const WChar b = foldCase(other.path[i]);
        if (a != b)
            return int(a) - int(b);
        if (!a)
            return 0;
    }
}

void StrictPath::GetParentDirectory() {
    TraceGuard trace(QK_TEXT("Quillkit::StrictPath::GetParentDirectory"));
    if (attributes & kP4Path) {
        RaiseErrorMessage(
            ErrorCode::kParameter,
            QK_TEXT("             StrictPath does not support getting parent directory of P4 "
                    "paths %s"),
            path);
        return;
    }
    ParentOfPath(path, kMaxPath);
    ChangeAttributes(kDirectory, kKindMask);
}

void StrictPath::GetRelativePath(const StrictPath& base, StrictPath& out) const {
    TraceGuard trace(QK_TEXT("Quillkit::StrictPath::GetRelativePath"));
    RelativeTo(base, out);
}

// Whether this path lies below `base` or one of its ancestors. When none of them
// is a prefix, `out` stays empty rather than collecting a "..\" per level.
bool StrictPath::RelativeTo(const StrictPath& base, StrictPath& out) const {
    out.Clear();
    const size_t n = length(base.path);
    if (startsWithIgnoringCase(path, base.path, n)) {
        out.Assign(path + n, attributes & 0xFFFF);
        return true;
    }
    StrictPath parent(base);
    parent.GetParentDirectory();
    if (parent.IsEmpty())
        return false;
    StrictPath sub(out.attributes & 0xFFFF);
    if (!RelativeTo(parent, sub))
        return false;
    out.Assign(QK_TEXT("..\\"), kDirectory);
    out += sub;
    return true;
}

void StrictPath::ReleaseBuffer(int newAttributes) {
    TraceGuard trace(QK_TEXT("Quillkit::StrictPath::ReleaseBuffer"));
    path[kMaxLength] = 0;
    attributes = newAttributes | (attributes & kModeMask);
    Revalidate();
    Normalize();
}

void StrictPath::ChangeAttributes(int newBits, int mask) {
    TraceGuard trace(QK_TEXT("Quillkit::StrictPath::ChangeAttributes"));
    if ((attributes & mask) == newBits)
        return;
    attributes = newBits | (attributes & ~mask);
    Revalidate();
}

void StrictPath::GetVolume(bool useSystem) {
    TraceGuard trace(QK_TEXT("Quillkit::StrictPath::GetVolume"));
    if (!IsAbsolute()) {
        RaiseErrorMessage(ErrorCode::kParameter,
                          QK_TEXT("Quillkit: Non-absolute path '%s' passed to %s"), path,
                          QK_TEXT("Quillkit::StrictPath::GetVolume"));
        return;
    }
    if (useSystem && GetVolumePathNameFunc.IsAvailable()) {
        WChar volume[kMaxPath] = {};
        auto query = GetVolumePathNameFunc.As<int(OS_SYSAPI*)(const WChar*, WChar*, uint32_t)>();
        if (query(path, volume, uint32_t(kMaxPath))) {
            Assign(volume, kDirectory);
            return;
        }
        RaiseWindowsError(QK_TEXT("GetVolumePathName"));
        return;
    }
    if (path[1] == ':') {
        path[3 < length(path) ? 3 : length(path)] = 0;
        return;
    }
    if (path[0] == '\\' && path[1] == '\\') {
        WChar* server = nullptr;
        for (WChar* p = path + 2; *p; ++p)
            if (*p == '\\') {
                server = p;
                break;
            }
        WChar* share = nullptr;
        if (server)
            for (WChar* p = server + 1; *p; ++p)
                if (*p == '\\') {
                    share = p;
                    break;
                }
        if (!share) {
            RaiseErrorMessage(ErrorCode::kParameter,
                              QK_TEXT("Quillkit: Invalid path '%s' passed to %s"), path,
                              QK_TEXT("Quillkit::StrictPath::GetVolume"));
            return;
        }
        share[1] = 0;
    }
}

void StrictPath::MakeAbsolute(const StrictPath& base, int newAttributes) {
    TraceGuard trace(QK_TEXT("Quillkit::StrictPath::MakeAbsolute"));
    if (IsAbsolute())
        return;
    StrictPath relative(*this);
    Assign(base.path, newAttributes);
    *this += relative;
}

void StrictPath::MakeAbsolute(int newAttributes) {
    TraceGuard trace(QK_TEXT("Quillkit::StrictPath::MakeAbsolute"));
    StrictPath current(0);
    current.SetToCurrentDirectory();
    MakeAbsolute(current, newAttributes);
}

void StrictPath::SetToCurrentDirectory() {
    TraceGuard trace(QK_TEXT("Quillkit::StrictPath::SetToCurrentDirectory"));
    if (!os::currentDirectoryWide(path, kMaxPath)) {
        path[0] = 0;
        RaiseCRuntimeError(QK_TEXT("_wgetcwd"));
        return;
    }
    ReleaseBuffer(kDirectory);
}

bool StrictPath::IsAbsolute() const {
    TraceGuard trace(QK_TEXT("Quillkit::StrictPath::IsAbsolute"));
    if (PathIsRelativeFunc.IsAvailable())
        return !PathIsRelativeFunc.As<int(OS_SYSAPI*)(const WChar*)>()(path);
    if (!path[0])
        return false;
    return (path[0] == '\\' && path[1] == '\\') || path[1] == ':';
}

void StrictPath::Revalidate() {
    if (attributes & kP4Path)
        return;
    CheckPath(*this);
    if ((attributes & kKindMask) != kDirectory || !path[0])
        return;
    const size_t n = length(path);
    if (path[n - 1] == '\\')
        return;
    // A full buffer has no room for the backslash: such a directory path is too
    // long, or with truncation allowed it gives up its last character.
    if (n >= kMaxLength) {
        if (!(attributes & kAllowTruncation)) {
            raisePathTooLong(LoadToolkitString(StringId::kPathLongerThanMaxPath, path), n, 1);
            return;
        }
        path[kMaxLength - 1] = '\\';
        path[kMaxLength] = 0;
        return;
    }
    if (PathAddBackslashFunc.IsAvailable()) {
        PathAddBackslashFunc.As<WChar*(OS_SYSAPI*)(WChar*)>()(path);
        return;
    }
    path[n] = '\\';
    path[n + 1] = 0;
}

void StrictPath::Normalize() {
    if (attributes & kP4Path)
        return;
    NormalizePathText(path);
}

void StrictPath::CheckInput(const WChar* text, const char* name) const {
    if (!text) {
        RaiseErrorMessage(ErrorCode::kParameter, QK_TEXT("             Input path %s is NULL"),
                          parameterName(name).c_str());
        return;
    }
    if (length(text) > kMaxLength && !(attributes & kAllowTruncation)) {
        RaiseDetailedError(ErrorCode::kInvalidPath, LoadToolkitString(StringId::kInvalidPath),
                           LoadToolkitString(StringId::kPathLongerThanMaxPath, text),
                           PrintfText(QK_TEXT("Input path %s is longer than MAX_PATH: %s"),
                                      parameterName(name).c_str(), text));
        return;
    }
    if (!(attributes & kP4Path) && text[0] == '\\' && text[1] != '\\') {
        RaiseDetailedError(
            ErrorCode::kInvalidPath, LoadToolkitString(StringId::kInvalidPath),
            LoadToolkitString(StringId::kPathLeadingBackslash, text),
            PrintfText(QK_TEXT("Input path %s has a leading backslash; leading backslashes are "
                               "not supported: %s"),
                       parameterName(name).c_str(), text));
    }
}

void StrictPath::AppendStep(const WChar* text, int appendAttributes) {
    TraceGuard trace(new CallWith2OptionalArgs(QK_TEXT("             Cannot append '%s' with '%s'"),
                                               path, text));
    if ((attributes & kP4Path) || (appendAttributes & kP4Path)) {
        RaiseErrorMessage(
            ErrorCode::kParameter,
            QK_TEXT("             StrictPath does not support appending with/to P4 paths."));
        return;
    }
    if (!(attributes & kDirectory)) {
        RaiseErrorMessage(ErrorCode::kParameter,
                          QK_TEXT("             First path does not have directory attribute"));
        return;
    }
    if (!text[0])
        return;
    if (!beginsWithParent(path)) {
        while (beginsWithParent(text)) {
            text += 3;
            GetParentDirectory();
        }
    }
    const size_t current = length(path);
    size_t appended = length(text);
    const bool directory = appendAttributes & kDirectory;
    const bool endsWithSlash = appended > 0 && text[appended - 1] == '\\';
    if (current == kMaxLength || (current == kMaxLength - 1 && directory && !endsWithSlash)) {
        raisePathTooLong(LoadToolkitString(StringId::kPathLongerThanMaxPath, text), current,
                         appended);
        return;
    }
    if (current + appended >= kMaxLength) {
        if (!(attributes & kAllowTruncation)) {
            raisePathTooLong(LoadToolkitString(StringId::kAppendedPathTooLong, text, path), current,
                             appended);
            return;
        }
        appended = directory ? kMaxLength - 1 - current : kMaxLength - current;
    }
    std::memcpy(path + current, text, appended * sizeof(WChar));
    path[current + appended] = 0;
    if (appendAttributes & kName)
        appendAttributes = 0;
    attributes = appendAttributes | (attributes & ~kKindMask);
    Revalidate();
}

} // namespace Quillkit
