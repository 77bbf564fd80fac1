#include "app/preferences/SuitePreferences.h"

#include "app/preferences/SuiteGuid.h"

#include "os/AnsiText.h"
#include "os/File.h"
#include "os/Profile.h"
#include "resources/StringIds.h"
#include "toolkit/diag/ErrorReport.h"
#include "toolkit/path/CreateDirectory.h"
#include "toolkit/path/FileTests.h"
#include "toolkit/path/TextFile.h"
#include "toolkit/ui/IniFile.h"
#include "toolkit/ui/LauncherStrings.h"

#include <string>

namespace Pellquin {

using namespace Quillkit;

namespace {

const WChar* const kFullPathKey = QK_TEXT("FullPath");
const WChar* const kSuiteNameKey = QK_TEXT("SuiteName");
const WChar* const kDefaultSection = QK_TEXT("Default");
const WChar* const kRootKey = QK_TEXT("LastUsedRootDirectory");

// The report of a toolkit error goes to the logs; the launcher shows nothing
// and carries on. The error must not stay pending: a later raise on another
// thread would wait for this one's error lock.
void dropError() {
    HandleException(nullptr);
}

std::string utf8Of(const StrictPath& path) {
    return os::toUtf8(path.GetPath(), os::wideLength(path.GetPath()));
}

// The system's profile writer keeps a file in UTF-16 when it begins with FF FE.
// A new or empty file gets the mark. A file with content but without the mark
// (8-bit text, perhaps written by hand) is rewritten in UTF-16 with its content
// kept, where writing the mark over its first two bytes would corrupt it.
bool markAsUtf16(const StrictPath& iniPath) {
    os::FileOpenRequest request;
    request.access = os::kAccessRead | os::kAccessWrite;
    request.creation = os::FileCreation::OpenAlways;
    request.share = os::kShareRead;
    uint32_t error = 0;
    bool wide = false;
    const os::FileHandle file = os::openFile(utf8Of(iniPath).c_str(), request, error, wide);
    if (file == os::kNoFile)
        return false;
    std::string bytes;
    char chunk[8192];
    uint32_t done = 0;
    bool ok = true;
    while ((ok = os::readFile(file, chunk, sizeof chunk, done, error)) && done > 0)
        bytes.append(chunk, done);
    std::string rewrite = "\xFF\xFE";
    const bool marked = bytes.size() >= 2 && uint8_t(bytes[0]) == 0xFF && uint8_t(bytes[1]) == 0xFE;
    if (ok && !marked && !bytes.empty()) {
        WString text;
        const bool utf8Mark = bytes.size() >= 3 && uint8_t(bytes[0]) == 0xEF &&
                              uint8_t(bytes[1]) == 0xBB && uint8_t(bytes[2]) == 0xBF;
        if (utf8Mark)
            text = os::fromUtf8(bytes.data() + 3, bytes.size() - 3);
        else
            ok = os::ansiToWide(bytes.data(), bytes.size(), text);
        for (WChar unit : text) {
            rewrite += char(uint16_t(unit) & 0xFF);
            rewrite += char(uint16_t(unit) >> 8);
        }
    }
    int64_t position = 0;
    ok = ok && os::seekFile(file, 0, os::SeekFrom::Begin, position, error);
    for (size_t at = 0; ok && at < rewrite.size(); at += done)
        ok = os::writeFile(file, rewrite.data() + at, uint32_t(rewrite.size() - at), done, error) &&
             done > 0;
    os::closeFile(file);
    return ok;
}

// A remembered folder that may be proposed: one that IsDriveLetterPath accepts.
// Anything else counts as never remembered.
bool readRemembered(IniSection& section, const WChar* key, WString& value) {
    IniItem item;
    if (!section.HasItem(key, item))
        return false;
    item.GetValue(value);
    return IsDriveLetterPath(value.c_str());
}

} // namespace

bool IsDriveLetterPath(const WChar* path) {
    const auto letter = [](WChar c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    return path && letter(path[0]) && path[1] == ':' && path[2] == '\\';
}

StrictPath PreferencesFilePath(const StrictPath& appDataFolder) {
    StrictPath path(appDataFolder.GetPath(), kDirectory);
    path.Append(LoadLauncherString(StringId::kPreferencesFolder).c_str(), kDirectory);
    path.Append(QK_TEXT("Installation Preferences\\"), kDirectory);
    path.Append(QK_TEXT("Pellrune.ini"), 0);
    return path;
}

void LoadPreferences(const StrictPath& iniPath, StrictPath& downloadDir) {
    try {
        if (iniPath.IsEmpty() || !FileExists(iniPath.GetPath()))
            return;
        IniFile file;
        file = iniPath;
        const WString guid = LoadLauncherString(StringId::kSuiteGuid);
        IniSection suite(&file, guid.c_str());
        WString value;
        StrictPath proposal(downloadDir);
        if (readRemembered(suite, kFullPathKey, value)) {
            proposal = StrictPath(value.c_str(), kDirectory);
        } else {
            IniSection defaults(&file, kDefaultSection);
            if (!readRemembered(defaults, kRootKey, value))
                return;
            // Built whole before it replaces the proposal, so that a root too long
            // for the suite's folder leaves the default in place.
            StrictPath root(value.c_str(), kDirectory);
            root.Append(LoadLauncherString(StringId::kSuiteFolder).c_str(), kDirectory);
            proposal = root;
        }
        downloadDir = proposal;
    } catch (const FatalResourceError&) {
        throw;
    } catch (...) {
        dropError();
    }
}

void SavePreferences(const StrictPath& iniPath, const StrictPath& downloadDir) {
    try {
        if (iniPath.IsEmpty())
            return;
        // The folder and the file keep the security they inherit from the user's
        // profile: nobody else is given any right on them.
        StrictPath folder(iniPath);
        folder.GetParentDirectory();
        CreateDirectoryRecurse(folder.GetPath(), nullptr, nullptr);
        if (!markAsUtf16(iniPath))
            return;
        const WString guid = LoadLauncherString(StringId::kSuiteGuid);
        const WString name = LoadLauncherString(StringId::kSuiteName);
        if (!os::writeProfileString(guid.c_str(), kSuiteNameKey, name.c_str(), iniPath.GetPath()))
            return;
        if (!os::writeProfileString(guid.c_str(), kFullPathKey, downloadDir.GetPath(),
                                    iniPath.GetPath()))
            return;
    } catch (const FatalResourceError&) {
        throw;
    } catch (...) {
        dropError();
    }
}

bool SameSuiteInDirectory(const StrictPath& suiteDescription) {
    try {
        if (!FileExists(suiteDescription.GetPath()))
            return false;
        TextFile file;
        // A description that exists but cannot be opened names no suite we know.
        if (!file.Open(suiteDescription.GetPath()))
            return false;
        WString found;
        WString line;
        while (!file.AtEnd()) {
            file.ReadLine(line);
            if (SuiteGuidInLine(line, found))
                break;
        }
        file.Close();
        return !found.empty() &&
               SameSuiteGuid(found, LoadLauncherString(StringId::kSuiteGuid));
    } catch (const FatalResourceError&) {
        throw;
    } catch (...) {
        dropError();
        return false;
    }
}

} // namespace Pellquin
