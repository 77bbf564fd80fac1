// Files and directories as the operating system offers them. Paths are UTF-8
// and may use either separator. The Windows side chooses between the ANSI and
// the wide (long-path) function forms itself; elsewhere paths go to the system
// with "/" as the separator.
#pragma once

#include "os/FileTime.h"

#include <cstdint>
#include <string>

namespace os {

// A HANDLE on Windows, a descriptor elsewhere.
using FileHandle = intptr_t;
inline constexpr FileHandle kNoFile = -1;

// Access wanted by an open.
inline constexpr uint32_t kAccessRead = 1;
inline constexpr uint32_t kAccessWrite = 2;

enum class FileCreation {
    OpenExisting, // fail when the file is missing
    OpenAlways,   // open, creating the file when missing
    CreateAlways, // create, replacing any existing file with an empty one
    CreateNew,    // create; fail when anything of that name exists (not even a link is followed)
};

// Sharing allowed to other opens of the same file while this one is open.
inline constexpr uint32_t kShareNone = 0;
inline constexpr uint32_t kShareRead = 1;
inline constexpr uint32_t kShareWrite = 2;
inline constexpr uint32_t kShareDelete = 4;

// Open flags.
inline constexpr uint32_t kOpenHidden = 1;          // a new file gets the hidden attribute
inline constexpr uint32_t kOpenBackupSemantics = 2; // directories open too (to set their times)

// Attribute bits, with their Windows values.
inline constexpr uint32_t kAttrReadOnly = 0x01;
inline constexpr uint32_t kAttrHidden = 0x02;
inline constexpr uint32_t kAttrSystem = 0x04;
inline constexpr uint32_t kAttrDirectory = 0x10;
inline constexpr uint32_t kAttrArchive = 0x20;
inline constexpr uint32_t kAttrNormal = 0x80;

// What a failure code means, as far as callers need to tell.
enum class FileError {
    None,
    FileNotFound,     // Windows 2
    PathNotFound,     // Windows 3
    AccessDenied,     // Windows 5
    NotReady,         // Windows 21
    SharingViolation, // Windows 32
    AlreadyExists,    // Windows 80 and 183
    Other,
};
FileError classifyFileError(uint32_t code);

struct FileOpenRequest {
    uint32_t access = kAccessRead;
    FileCreation creation = FileCreation::OpenExisting;
    uint32_t share = kShareNone;
    uint32_t flags = 0;
};

// Opens a file, retrying while another process holds it with conflicting
// sharing (4 attempts, 50 ms apart). `error` is the system's code on failure.
// `wideForm` says whether the long-path wide form was used (Windows only).
FileHandle openFile(const char* path, const FileOpenRequest& request, uint32_t& error,
                    bool& wideForm);
void closeFile(FileHandle file);

// One system call each; `done` is the number of bytes moved.
[[nodiscard]] bool readFile(FileHandle file, void* buffer, uint32_t max, uint32_t& done, uint32_t& error);
[[nodiscard]] bool writeFile(FileHandle file, const void* data, uint32_t length, uint32_t& done, uint32_t& error);

enum class SeekFrom { Begin, Current, End };
[[nodiscard]] bool seekFile(FileHandle file, int64_t offset, SeekFrom from, int64_t& newPosition,
              uint32_t& error);
[[nodiscard]] bool fileSize(FileHandle file, int64_t& size, uint32_t& error);
// Cuts the file (or extends it) to end at the current position.
[[nodiscard]] bool truncateAtPosition(FileHandle file, uint32_t& error);
// Sets aside disk space for `size` bytes of the file without changing its
// length. A full disk fails here, before anything is written; a file system
// that cannot set space aside succeeds with nothing reserved.
[[nodiscard]] bool reserveFileSpace(FileHandle file, uint64_t size, uint32_t& error);
[[nodiscard]] bool fileLastWriteTime(FileHandle file, FileTime& time, uint32_t& error);
// Sets creation (where the system keeps one), last-access and last-write times.
[[nodiscard]] bool setFileTimes(FileHandle file, FileTime time, uint32_t& error);

[[nodiscard]] bool getFileAttributes(const char* path, uint32_t& attributes, uint32_t& error);
[[nodiscard]] bool setFileAttributes(const char* path, uint32_t attributes, uint32_t& error);
[[nodiscard]] bool createDirectory(const char* path, uint32_t& error);
[[nodiscard]] bool deleteFile(const char* path, uint32_t& error);
// Fails when the target exists.
[[nodiscard]] bool renameFile(const char* from, const char* to, uint32_t& error);
// Puts `from` in the place of the existing file `to` in one step: at every
// moment `to` names either the old file or the new one. Both must be on one volume.
[[nodiscard]] bool replaceFile(const char* from, const char* to, uint32_t& error);
// The path of the file that `path` finally names, following symbolic links (of
// the folders on the way too); `path` itself when no link is involved.
[[nodiscard]] bool resolveLinks(const char* path, std::string& target, uint32_t& error);
// Gives `to` the access rights of `from` that a freshly created file lacks: the
// permission bits on POSIX, the read-only, hidden and system attributes on Windows.
[[nodiscard]] bool copyAccessRights(const char* from, const char* to, uint32_t& error);

// The process's current directory, UTF-8 (empty when unknown).
std::string currentDirectory();

} // namespace os
