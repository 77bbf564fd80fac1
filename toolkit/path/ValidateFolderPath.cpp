#include "toolkit/path/PathValidation.h"

#include "os/AnsiText.h"
#include "os/Directory.h"
#include "os/File.h"
#include "os/UserLanguage.h"
#include "resources/StringIds.h"
#include "toolkit/diag/ToolkitStrings.h"
#include "toolkit/path/FileTests.h"
#include "toolkit/path/StrictPath.h"

namespace Quillkit {

namespace {

constexpr size_t kLongestFolderPath = 260;

// Device names Windows reserves in every folder, with or without an extension.
const char* const kReservedNames[] = {"CON",  "PRN",  "AUX",  "CLOCK$", "NUL",  "COM1",
                                      "COM2", "COM3", "COM4", "COM5",   "COM6", "COM7",
                                      "COM8", "COM9", "LPT1", "LPT2",   "LPT3", "LPT4",
                                      "LPT5", "LPT6", "LPT7", "LPT8",   "LPT9"};

WChar foldCase(WChar c) {
    return c >= 'a' && c <= 'z' ? WChar(c - ('a' - 'A')) : c;
}

bool isReservedName(const WString& name) {
    for (const char* reserved : kReservedNames) {
        size_t i = 0;
        while (i < name.size() && reserved[i] && foldCase(name[i]) == WChar(reserved[i]))
            ++i;
        if (i == name.size() && !reserved[i])
            return true;
    }
    return false;
}

bool hasRejectedCharacter(const WString& component) {
    for (WChar c : component) {
        if (c < 0x20)
            return true;
        switch (c) {
        case '/':
        case ':':
        case '*':
        case '?':
        case '"':
        case '<':
        case '>':
        case '|':
            return true;
        default:
            break;
        }
    }
    return false;
}

void removeLastSlash(WString& text) {
    if (!text.empty() && text.back() == '\\')
        text.pop_back();
}

// The root of a drive or UNC path ("C:\", "\\srv\share\"); false for any other form.
bool rootOf(const WString& path, WString& root) {
    if (path.size() >= 2 && path[1] == ':') {
        root = path.substr(0, 3);
        if (root.size() < 3 || root[2] != '\\')
            root += '\\';
        return true;
    }
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
        const size_t server = path.find('\\', 2);
        const size_t share = server == WString::npos ? server : path.find('\\', server + 1);
        root = share == WString::npos ? path : path.substr(0, share + 1);
        return true;
    }
    return false;
}

} // namespace

WString LanguageDisplayName(uint32_t languageId) {
    static const struct {
        uint32_t language;
        uint32_t alternative;
        uint32_t stringId;
    } names[] = {
        {7, 1031, StringId::kLanguageGerman},
        {9, 1033, StringId::kLanguageEnglish},
        {12, 1036, StringId::kLanguageFrench},
        {17, 1041, StringId::kLanguageJapanese},
        {18, 1042, StringId::kLanguageKorean},
        {19, 1043, StringId::kLanguageDutch},
        {1025, 1025, StringId::kLanguageArabic},
        {1030, 1030, StringId::kLanguageDanish},
        {1040, 1040, StringId::kLanguageItalian},
        {1044, 1044, StringId::kLanguageNorwegian},
        {1046, 1046, StringId::kLanguagePortuguese},
        {1049, 1049, StringId::kLanguageRussian},
        {1053, 1053, StringId::kLanguageSwedish},
        {2052, 2052, StringId::kLanguageChineseSimplified},
        {3082, 3082, StringId::kLanguageSpanish},
    };
    for (const auto& row : names)
        if (languageId == row.language || languageId == row.alternative)
            return LoadToolkitString(row.stringId);
    return WString();
}

uint32_t ValidateFolderPath(const WChar* path, WString& message) {
    if (!path || !path[0])
        return os::kErrorInvalidData;
    const WString text(path);
    if (text.size() > kLongestFolderPath) {
        message = LoadToolkitString(StringId::kFolderPathTooLong, text);
        return os::kErrorDirectory;
    }
    WString root;
    if (!rootOf(text, root)) {
        message = LoadToolkitString(StringId::kFolderPathNotValid, text);
        return os::kErrorInvalidName;
    }
    if (root.empty() || root.back() != '\\')
        root += '\\';
    uint32_t error = 0;
    if (!os::volumeInformation(root.c_str(), error)) {
        if (error == os::kErrorPathNotFound || error == os::kErrorInvalidData)
            error = os::kErrorInvalidDrive;
        message = LoadToolkitString(StringId::kFolderPathNotValid, root);
        return error;
    }

    // Each component from the deepest up to the root.
    WString rest = text;
    removeLastSlash(rest);
    WString rootText = root;
    removeLastSlash(rootText);
    while (rest != rootText && rest.size() > rootText.size()) {
        const size_t slash = rest.rfind('\\');
        if (slash == WString::npos)
            break;
        const WString component = rest.substr(slash);
        WString name = component.substr(1);
        const size_t dot = name.rfind('.');
        if (dot != WString::npos)
            name.resize(dot);
        if (isReservedName(name)) {
            message = LoadToolkitString(StringId::kFolderPathReservedWord, component);
            return os::kErrorDirectory;
        }
        uint32_t attributes = 0;
        if (os::wideFileAttributes(rest.c_str(), attributes) &&
            !(attributes & os::kAttrDirectory)) {
            message = LoadToolkitString(StringId::kFolderPathNotValid, rest);
            return os::kErrorDirectory;
        }
        if (hasRejectedCharacter(component)) {
            message = LoadToolkitString(StringId::kFolderPathInvalidCharacter, component);
            return os::kErrorDirectory;
        }
        rest.resize(slash);
    }

    if (os::wideToSystemAnsi(path).find('?') != std::string::npos) {
        message = LoadToolkitString(StringId::kFolderPathSystemLanguage, text,
                                    LanguageDisplayName(os::userDefaultLanguage()));
        return os::kErrorDirectory;
    }
    if (DirectoryExists(path))
        return 0;
    message = LoadToolkitString(StringId::kFolderPathNotValid, text);
    return os::kErrorPathNotFound;
}

} // namespace Quillkit
