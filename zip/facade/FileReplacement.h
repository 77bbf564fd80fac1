// A new version of a file, written to a fresh file beside it and moved into
// its place in one step. Until that step the old file stays exactly as it was,
// and a failure anywhere on the way leaves it so.
#pragma once

#include "zip/base/XString.h"
#include "zip/base/fs/VexmarHandle.h"

namespace vexmar {

class LogBase;

class FileReplacement {
public:
    FileReplacement() = default;
    // Removes the new file unless it has taken the old one's place.
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Follows symbolic links from `target` to the file itself, and creates the
    // new file in that file's folder under a name nobody else holds (an
    // exclusive create: an existing file or link of that name is never opened).
    bool begin(const XString& target, LogBase& log);
    // The new file, open for writing, and its name.
    VexmarHandle& file() { return file_; }
    const XString& newPath() const { return newPath_; }
    // The file that will be replaced, links resolved.
    const XString& targetPath() const { return target_; }
    // Closes the new file, gives it the old file's access rights and moves it
    // over the old file.
    bool commit(LogBase& log);

private:
    XString target_;
    XString newPath_;
    VexmarHandle file_;
    bool committed_ = false;
};

} // namespace vexmar
