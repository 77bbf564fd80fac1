// The engine's file-system layer. Paths are XString (UTF-8 inside) and may use
// "/" or "\"; names are made acceptable to Windows before they reach the system.
// Every operation reports failure as false (or a closed handle) and, when given
// a log, says why in it. The layer keeps no state: any thread may use it.
#pragma once

#include "zip/base/fs/VexmarHandle.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vexmar {

class LogBase;
class XString;

namespace FileSys {

// Why an open failed.
enum OpenErrorKind : int {
    kOpenOk = 0,
    kOpenAccessDenied = 1,
    kOpenPathNotFound = 2,
    kOpenOtherError = 3,
};

// The common open. Read only opens an existing file; read and write opens or
// creates one; write only creates or replaces one. Without `exclusive`, a read
// open lets others read and write the file. `hidden` gives a new file the
// hidden attribute; `append` moves to the end after opening. Sharing
// violations are retried, and a read-only attribute is cleared once.
VexmarHandle openFileWin32(const XString& path, bool read, bool write, bool exclusive, bool hidden,
                           bool append, int* errorKind, LogBase* log);
VexmarHandle openForWriteWin32(const XString& path, int* errorKind, LogBase* log);
VexmarHandle openForWriteHiddenWin32(const XString& path, int* errorKind, LogBase* log);
VexmarHandle openForReadWin32(const XString& path, int* errorKind, LogBase* log);
VexmarHandle openForReadWriteWin32(const XString& path, bool exclusive, int* errorKind,
                                   LogBase* log);

bool createDirWin32(const XString& path, LogBase* log);
// Creates the directory and every missing parent. `created` (may be null)
// receives the directories this call made, parents first, as UTF-8.
bool ensureDir(const XString& path, std::vector<std::string>* created, LogBase* log);
// Creates the directories a file path needs; `directory` receives the
// directory part (or the cleaned path when there is nothing to create).
bool ensureFile(const XString* filePath, XString& directory, std::vector<std::string>* created,
                LogBase* log);

bool fileExists(const XString& path, LogBase* log);
// On failure `attributes` is 0xFFFFFFFF and `error` the system's code.
bool GetAttributes(const XString& path, uint32_t& attributes, uint32_t& error, LogBase* log);
bool setFileAttributesWin32(const XString& path, uint32_t attributes);
// A file that does not exist counts as deleted.
bool deleteFile(const XString& path, LogBase* log);
bool renameFileWin32(const XString& from, const XString& to, LogBase* log);

// `name` placed below `directory`: drive letters, UNC server and share, the
// long-path prefix and leading separators of `name` are dropped. ".." gets no
// special treatment.
void joinPath(const XString& directory, const XString& name, XString& path);
// A name stem_XXXX.ext (four random letters or digits) in `directory` that no
// file has yet. `base` defaults to "x", its extension to ".tmp".
bool tempFilePath(const XString& base, const XString& directory, XString& path, LogBase* log);
// Creates or replaces the file with exactly these bytes.
bool writeWholeFile(const XString& path, const void* data, uint64_t length, LogBase* log);

// Makes a path acceptable to Windows: characters Windows refuses become "_"
// (a drive colon and the "?" of a "\\?\" prefix stay), CR and LF go, and with
// `reservedNames` a last component named like a device ("nul.txt") gets a "_"
// in front. Never fails; a null log logs nothing.
void sanitizeFilename(XString& path, bool reservedNames, LogBase* log);

// The instant a ZIP (DOS) timestamp names: local wall-clock time under the
// platform's rules, shifted by the difference between the UTC offset now and
// the one at that instant. An impossible date (day 0, month not 1-12) gives now.
os::FileTime fileTimeFromDos(uint16_t dosDate, uint16_t dosTime);
// Sets creation, last-access and last-write times from a ZIP timestamp.
bool setFileTimeFromDos(VexmarHandle& file, uint16_t dosDate, uint16_t dosTime, LogBase* log);
// The same for a path, which may name a file or a directory.
bool setFileTimeFromDos(const XString& path, uint16_t dosDate, uint16_t dosTime, LogBase* log);

} // namespace FileSys

} // namespace vexmar
