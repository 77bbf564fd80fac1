// Where an entry is written: its name, cleaned and repaired, below the extraction folder.
// The path is made first and checked as made: nothing that sanitising does afterwards can
// change where it points.
#include "os/Beneath.h"
#include "zip/central/ZipEntryMapped.h"
#include "zip/base/LogBase.h"
#include "zip/base/XString.h"
#include "zip/extract/EntryNames.h"
#include "zip/extract/EntryTarget.h"

namespace vexmar {

namespace {

// A POSIX base takes "/" between names; a Windows one "\".
char separatorFor(const std::string& base) {
    return !base.empty() && base[0] == '/' ? '/' : '\\';
}

} // namespace

std::string EntryTarget::pathOf(size_t count) const {
    std::string path = base;
    const char separator = separatorFor(base);
    for (size_t i = 0; i < count && i < names.size(); ++i) {
        if (path.empty() || path.back() != separator)
            path += separator;
        path += names[i];
    }
    return path;
}

std::string EntryTarget::path() const {
    return pathOf(names.size());
}

bool ZipEntryMapped::entryTarget(const XString& directory, bool ignoreFolders,
                                 EntryTarget& target, LogBase& log) {
    StringBuffer name;
    if (!getFileName(name)) {
        log.logError("The entry's name could not be read.");
        return false;
    }
    name.removeNameUnsafeChars();
    if (ignoreFolders)
        name.keepLastPathComponent();

    XString trimmed;
    trimmed.setFromX(directory);
    trimmed.trim();
    target.base = os::absolutePath(trimmed.isEmpty() ? "." : trimmed.getUtf8());
    if (target.base.empty()) {
        log.logError("The extraction directory has no absolute form.");
        log.logDataStr("unzipDir", directory);
        return false;
    }

    const std::string text(name.getString(), name.getSize());
    switch (entryPathNames(text, os::dropsTrailingDots(), target.names)) {
    case EntryNameProblem::None:
        break;
    case EntryNameProblem::ControlCharacter: {
        log.logError("The entry's name contains a control character.");
        StringBuffer hex;
        getFileNameHex(hex);
        log.logDataSb("entryNameHex", hex);
        return false;
    }
    case EntryNameProblem::LeavesFolder:
        log.logError("The entry's name would put it outside the extraction directory.");
        log.logDataSb("entryName", name);
        return false;
    }
    if (target.names.empty() && !isDirectory()) {
        log.logError("The entry's name names no file.");
        log.logDataSb("entryName", name);
        return false;
    }
    return true;
}

bool ZipEntryMapped::targetPath(const XString& directory, bool ignoreFolders, XString& path,
                                LogBase& log) {
    EntryTarget target;
    if (!entryTarget(directory, ignoreFolders, target, log))
        return false;
    path.setFromUtf8(target.path().c_str());
    return true;
}

} // namespace vexmar
