#include "toolkit/path/CheckPath.h"

#include "os/DynamicLibrary.h"
#include "resources/StringIds.h"
#include "toolkit/diag/ErrorCodes.h"
#include "toolkit/diag/PrintfFormat.h"
#include "toolkit/diag/Raise.h"
#include "toolkit/diag/ToolkitStrings.h"
#include "toolkit/path/StrictPath.h"
#include "toolkit/platform/StaticBindings.h"

#include <cwctype>

namespace Quillkit {

namespace {

void raiseInvalid(uint32_t detailId, const WString& debugText, const WChar* path) {
    RaiseDetailedError(ErrorCode::kInvalidPath, LoadToolkitString(StringId::kInvalidPath),
                       LoadToolkitString(detailId, path), debugText);
}

void raiseInvalidCharacter(size_t index, const WChar* path) {
    raiseInvalid(
        StringId::kPathInvalidCharacters,
        PrintfText(QK_TEXT("Path has invalid character at index %d: %s"), int(index), path), path);
}

bool isLetter(WChar c) {
    return std::iswalpha(std::wint_t(c)) != 0;
}

} // namespace

unsigned BuiltInCharType(WChar unit) {
    if (unit < 0x20 || unit == '"' || unit == '<' || unit == '>' || unit == '|')
        return kCharInvalid;
    if (unit == ' ' || unit == ',' || unit == ';')
        return kCharLongName;
    if (unit == '*' || unit == '?')
        return kCharWildcard;
    if (unit == ':' || unit == '\\' || unit == '/')
        return kCharSeparator;
    return kCharName;
}

unsigned GetCharType(const WChar* position) {
    if (*position == 0)
        return kCharName;
    if (PathGetCharTypeFunc.IsAvailable())
        return PathGetCharTypeFunc.As<unsigned(OS_SYSAPI*)(WChar)>()(*position);
    return BuiltInCharType(*position);
}

void CheckPath(StrictPath& path) {
    const int attributes = path.GetPathAttributes();
    WChar* text = path.GetBuffer();
    const bool repair = attributes & kFixInvalid;
    if ((attributes & kMustBeAbsolute) && text[0] && !path.IsAbsolute()) {
        raiseInvalid(StringId::kPathMustBeAbsolute,
                     PrintfText(QK_TEXT("Invalid path - must be absolute: %s"), text), text);
        return;
    }
    if ((attributes & kMustBeRelative) && text[0] && path.IsAbsolute()) {
        RaiseDetailedError(ErrorCode::kInvalidPath, LoadToolkitString(StringId::kInvalidPath),
                           WString(),
                           PrintfText(QK_TEXT("Invalid path - must be relative: %s"), text));
        return;
    }
    bool lastWasSeparator = false;
    for (size_t i = 0; text[i]; ++i) {
        lastWasSeparator = false;
        switch (GetCharType(text + i)) {
        case kCharInvalid:
            if (repair) {
                text[i] = '_';
                break;
            }
            raiseInvalidCharacter(i, text);
            return;
        case kCharWildcard:
            if (attributes & kAllowWildcards)
                break;
            if (repair) {
                text[i] = '_';
                break;
            }
            raiseInvalid(StringId::kPathInvalidCharacters,
                         PrintfText(QK_TEXT("Invalid path - wild character at index %d not "
                                            "allowed: %s"),
                                    int(i), text),
                         text);
            return;
        case kCharSeparator:
            if ((attributes & kKindMask) == kName || (text[i] == ':' && i != 1)) {
                if (repair) {
                    text[i] = '-';
                    break;
                }
                raiseInvalidCharacter(i, text);
                return;
            }
            lastWasSeparator = true;
            break;
        default:
            break;
        }
    }
    if (lastWasSeparator && !(attributes & kDirectory)) {
        if (repair) {
            text[os::wideLength(text) - 1] = '-';
        } else {
            raiseInvalid(
                StringId::kPathTrailingBackslash,
                PrintfText(QK_TEXT("Path has a trailing backslash but is not a directory: %s"),
                           text),
                text);
            return;
        }
    }
    if (text[0] && text[1] == ':' && path.IsAbsolute()) {
        if (!isLetter(text[0])) {
            raiseInvalid(StringId::kPathInvalidDriveLetter,
                         PrintfText(QK_TEXT("Path has an invalid drive letter: %s"), text), text);
            return;
        }
        if (text[2] != '\\' && text[2] != 0) {
            raiseInvalid(
                StringId::kPathNoBackslashAfterDrive,
                PrintfText(QK_TEXT("Path is missing a backslash after the drive letter: %s"), text),
                text);
        }
    }
}

} // namespace Quillkit
