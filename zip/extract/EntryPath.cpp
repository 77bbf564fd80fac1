// Where an entry is written: its name, cleaned, below the extraction directory.
#include "zip/central/ZipEntryMapped.h"
#include "zip/core/LogBase.h"
#include "zip/core/XString.h"
#include "zip/fs/FileSys.h"

#include <string>
#include <vector>

namespace {

// The path's components with "." dropped and ".." applied; a ".." that cannot be
// applied is kept, so that a relative directory above the current one stays what it is.
std::vector<std::string> lexicalComponents(const char* path) {
    std::vector<std::string> parts;
    std::string part;
    for (const char* p = path;; ++p) {
        if (*p == '\\' || *p == '/' || *p == '\0') {
            if (part == "..") {
                if (!parts.empty() && parts.back() != "..")
                    parts.pop_back();
                else
                    parts.push_back(part);
            } else if (!part.empty() && part != ".") {
                parts.push_back(part);
            }
            part.clear();
            if (*p == '\0')
                break;
        } else {
            part += *p;
        }
    }
    return parts;
}

// True when `path` names `directory` or something inside it.
bool staysBelow(const char* directory, const char* path) {
    const std::vector<std::string> dir = lexicalComponents(directory);
    const std::vector<std::string> full = lexicalComponents(path);
    if (full.size() < dir.size())
        return false;
    for (size_t i = 0; i < dir.size(); ++i)
        if (dir[i] != full[i])
            return false;
    return true;
}

} // namespace

bool ZipEntryMapped::targetPath(const XString& directory, bool ignoreFolders, XString& path,
                                LogBase& log) {
    StringBuffer name;
    getFileName(name);
    name.removeNameUnsafeChars();
    if (ignoreFolders)
        name.keepLastPathComponent();
    XString relative;
    relative.setFromSbUtf8(name);
    FileSys::joinPath(directory, relative, path);

    // A name may climb with "..", but never out of the extraction directory.
    XString base;
    base.setFromX(directory);
    base.trim();
    if (!staysBelow(base.isEmpty() ? "." : base.getUtf8(), path.getUtf8())) {
        log.logError("The entry's name would put it outside the extraction directory.");
        log.logDataSb("entryName", name);
        return false;
    }
    return true;
}
