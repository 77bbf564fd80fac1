// Creating folders and files below a folder one name at a time, never through a link.
// The folder the walk starts from is taken as given (it may itself be a link: whoever
// chose it chose where it points); below it, a name that is a symbolic link, a junction
// or any other reparse point stops the walk instead of being followed. Paths are UTF-8;
// names are single components without separators.
#pragma once

#include "os/File.h"

#include <string>
#include <vector>

namespace os {

// Why a walk below a folder stopped.
struct BeneathFailure {
    size_t name = 0;    // index of the name where it stopped
    uint32_t error = 0; // the system's code
    bool link = false;  // the name is a link
    bool notFolder = false; // the name is something other than a folder
};

// An open folder reached by a walk. On systems that resolve names by path, the folders
// above it stay open too, so that none of them can be renamed or replaced meanwhile.
class OpenFolder {
public:
    OpenFolder() = default;
    OpenFolder(OpenFolder&& other) noexcept;
    OpenFolder& operator=(OpenFolder&& other) noexcept;
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;
    ~OpenFolder();

    bool isOpen() const { return !chain_.empty(); }
    FileHandle handle() const { return chain_.empty() ? kNoFile : chain_.back(); }
    // The folder's path as the system takes it.
    const std::string& path() const { return path_; }

private:
    friend OpenFolder openFolderBeneath(const std::string& base,
                                        const std::vector<std::string>& names, size_t count,
                                        BeneathFailure& failure);
    void close();

    std::vector<FileHandle> chain_;
    std::string path_;
};

// Whether the system drops trailing dots and spaces from the names it is given (Windows
// does), so that such names must be repaired before they reach it.
[[nodiscard]] bool dropsTrailingDots();

// The absolute, normalised form of a path ("." and ".." applied, empty meaning the
// current directory), in the system's own form. Empty when it cannot be had.
std::string absolutePath(const char* path);

// Opens base/names[0]/.../names[count-1], creating the folders that are missing. `base`
// must exist. Closed on failure, with `failure` saying where and why.
OpenFolder openFolderBeneath(const std::string& base, const std::vector<std::string>& names,
                             size_t count, BeneathFailure& failure);

// Creates the file `name` in `folder` for writing, replacing a file that is there: its
// read-only, hidden and system attributes are cleared and it is deleted first (so that no
// other name of the same file is written through). A link or folder there is an error
// (`link` tells which). `hidden` gives the new file the hidden attribute.
FileHandle replaceFileIn(const OpenFolder& folder, const std::string& name, bool hidden,
                         uint32_t& error, bool& link);

// Deletes the file `name` in `folder` (a link there is removed, not followed).
[[nodiscard]] bool deleteFileIn(const OpenFolder& folder, const std::string& name, uint32_t& error);

// Removes the folder `name` in `folder` if it is empty; a link there is never followed.
[[nodiscard]] bool removeEmptyFolderIn(const OpenFolder& folder, const std::string& name, uint32_t& error);

// Whether the path's last name is a link (the names before it are followed).
[[nodiscard]] bool isLink(const char* path);

// Sets a file's attributes through its handle (Windows values; elsewhere only read-only
// means something).
[[nodiscard]] bool setAttributesOf(FileHandle file, uint32_t attributes, uint32_t& error);

} // namespace os
