// Windows refuses some characters in names and opens devices for names like
// "nul.txt"; paths are repaired here before they reach the system.
#include "zip/base/LogBase.h"
#include "zip/base/XString.h"
#include "zip/base/fs/FileSys.h"

#include <string>

namespace vexmar {

namespace FileSys {

namespace {

// A colon up to this position (in UTF-16 units) can belong to a drive letter,
// possibly after a \\?\ prefix.
constexpr size_t kLastDriveColon = 7;

void logError(LogBase* log, const char* message) {
    if (log)
        log->logError(message);
}

void logPath(LogBase* log, const char* name, const std::u16string& path) {
    if (!log)
        return;
    XString text;
    text.setFromWide(path.c_str(), uint32_t(path.size()));
    log->logDataStr(name, text);
}

// Replaces every `bad` from position `from` on; true when there was one.
bool replaceFrom(std::u16string& path, size_t from, char16_t bad) {
    bool found = false;
    for (size_t i = from; i < path.size(); ++i) {
        if (path[i] == bad) {
            path[i] = u'_';
            found = true;
        }
    }
    return found;
}

void sanitizeColons(std::u16string& path, LogBase* log) {
    const size_t first = path.find(u':');
    if (first == std::u16string::npos || first == 0)
        return;
    if (first > kLastDriveColon) {
        logError(log, "The : character is not allowed in Windows filenames.");
        replaceFrom(path, 0, u':');
        logPath(log, "modifiedFilename", path);
        return;
    }
    const std::u16string original = path;
    if (replaceFrom(path, first + 1, u':') && log) {
        log->logInfo("The : character is not allowed in Windows filenames..");
        logPath(log, "filename", original);
        logPath(log, "modifiedFilename", path);
    }
}

struct ForbiddenChar {
    char16_t c;
    const char* message;
};

constexpr ForbiddenChar kForbidden[] = {
    {u'*', "The asterisk character is not allowed in Windows filenames."},
    {u'<', "The open-angle-bracket character is not allowed in Windows filenames."},
    {u'>', "The close-angle-bracket character is not allowed in Windows filenames."},
    {u'"', "The double-quote character is not allowed in Windows filenames."},
};

char16_t lower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
}

bool startsWithNoCase(const std::u16string& text, size_t at, const char* prefix) {
    for (size_t i = 0; prefix[i]; ++i)
        if (at + i >= text.size() || lower(text[at + i]) != char16_t(prefix[i]))
            return false;
    return true;
}

// Whether a name starting at `at` would open a DOS device: "con.", "nul.txt",
// "com1.log" and the like. Names without a dot after the device are kept.
bool isDeviceName(const std::u16string& path, size_t at) {
    for (const char* device : {"con.", "clock$.", "nul.", "aux.", "prn."})
        if (startsWithNoCase(path, at, device))
            return true;
    if (startsWithNoCase(path, at, "com") || startsWithNoCase(path, at, "lpt"))
        return at + 4 < path.size() && path[at + 3] >= u'0' && path[at + 3] <= u'9' &&
               path[at + 4] == u'.';
    return false;
}

} // namespace

void sanitizeFilename(XString& path, bool reservedNames, LogBase* log) {
    std::u16string text = path.getWide();
    const std::u16string original = text;

    sanitizeColons(text, log);
    if (replaceFrom(text, 0, u'|'))
        logError(log, "The | character is not allowed in Windows filenames.");
    // The "?" of a \\?\ prefix belongs to the prefix.
    const size_t questionFrom = text.rfind(u"\\\\?", 0) == 0 ? 3 : 0;
    if (replaceFrom(text, questionFrom, u'?'))
        logError(log, "The ? character is not allowed in Windows filenames.");
    for (const ForbiddenChar& forbidden : kForbidden)
        if (replaceFrom(text, 0, forbidden.c))
            logError(log, forbidden.message);
    std::erase_if(text, [](char16_t c) { return c == u'\r' || c == u'\n'; });

    if (reservedNames) {
        const size_t separator = text.find_last_of(u"\\/");
        const size_t name = separator == std::u16string::npos ? 0 : separator + 1;
        if (isDeviceName(text, name))
            text.insert(name, 1, u'_');
    }
    if (text != original)
        path.setFromWide(text.c_str(), uint32_t(text.size()));
}

} // namespace FileSys

} // namespace vexmar
