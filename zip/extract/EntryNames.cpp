#include "zip/extract/EntryNames.h"

#include <cctype>
#include <cstring>

namespace vexmar {

namespace {

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

size_t skipSeparators(const std::string& text, size_t at) {
    while (at < text.size() && isSeparator(text[at]))
        ++at;
    return at;
}

// Where the part of the name that can go below a folder starts: after a long-path or
// device prefix ("\\?\", "\\.\"), a UNC server and share, a drive, and leading separators.
size_t relativeStart(const std::string& name) {
    size_t at = 0;
    const auto prefixAt = [&](size_t i, const char* prefix) {
        for (size_t k = 0; prefix[k]; ++k) {
            if (i + k >= name.size())
                return false;
            const char c = name[i + k];
            if (prefix[k] == '\\' ? !isSeparator(c)
                                  : std::tolower(static_cast<unsigned char>(c)) != prefix[k])
                return false;
        }
        return true;
    };
    bool unc = false;
    if (prefixAt(0, "\\\\?\\") || prefixAt(0, "\\\\.\\")) {
        at = 4;
        if (prefixAt(at, "unc\\")) {
            at += 4;
            unc = true;
        }
    } else if (prefixAt(0, "\\\\")) {
        at = 2;
        unc = true;
    }
    if (unc) {
        // Server, then share: both name another machine's folders.
        for (int part = 0; part < 2; ++part) {
            while (at < name.size() && !isSeparator(name[at]))
                ++at;
            at = skipSeparators(name, at);
        }
    }
    // A drive, alone or before a separator; "c:x" is a name with a colon in it.
    if (at + 1 < name.size() && std::isalpha(static_cast<unsigned char>(name[at])) &&
        name[at + 1] == ':' && (at + 2 == name.size() || isSeparator(name[at + 2])))
        at += 2;
    return skipSeparators(name, at);
}

bool equalsNoCase(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b))
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != b[i])
            return false;
    return true;
}

// Windows opens a device for these whatever follows the first dot, and ignores trailing
// spaces and dots before it; a digit may also be written as a superscript one, two or three.
bool isDeviceName(const std::string& name) {
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && (stem.back() == ' ' || stem.back() == '.'))
        stem.pop_back();
    for (const char* device : {"con", "prn", "aux", "nul", "clock$", "conin$", "conout$"})
        if (equalsNoCase(stem, device))
            return true;
    if (stem.size() < 4)
        return false;
    const std::string head = stem.substr(0, 3);
    if (!equalsNoCase(head, "com") && !equalsNoCase(head, "lpt"))
        return false;
    const std::string digit = stem.substr(3);
    if (digit.size() == 1)
        return digit[0] >= '1' && digit[0] <= '9';
    return digit == "\xC2\xB9" || digit == "\xC2\xB2" || digit == "\xC2\xB3";
}

bool onlyDotsAndSpaces(const std::string& name) {
    return name.find_first_not_of(". ") == std::string::npos;
}

} // namespace

std::string repairedName(const std::string& name, bool windowsRules) {
    std::string repaired = name;
    for (char& c : repaired)
        if (std::strchr(":\"*<>?|", c) && c != '\0')
            c = '_';
    if (isDeviceName(repaired) || onlyDotsAndSpaces(repaired))
        repaired.insert(0, 1, '_');
    if (windowsRules) {
        for (size_t i = repaired.size(); i > 0 && (repaired[i - 1] == '.' || repaired[i - 1] == ' ');
             --i)
            repaired[i - 1] = '_';
    }
    return repaired;
}

EntryNameProblem entryPathNames(const std::string& entryName, bool windowsRules,
                                std::vector<std::string>& names) {
    names.clear();
    for (const char c : entryName)
        if (static_cast<unsigned char>(c) < 0x20)
            return EntryNameProblem::ControlCharacter;
    size_t at = relativeStart(entryName);
    while (at < entryName.size()) {
        size_t end = at;
        while (end < entryName.size() && !isSeparator(entryName[end]))
            ++end;
        const std::string name = entryName.substr(at, end - at);
        if (name == "..") {
            if (names.empty())
                return EntryNameProblem::LeavesFolder;
            names.pop_back();
        } else if (!name.empty() && name != ".") {
            names.push_back(repairedName(name, windowsRules));
        }
        at = end + 1;
    }
    return EntryNameProblem::None;
}

} // namespace vexmar
