// Directory and volume calls on UTF-16 paths, as the toolkit's path code makes
// them: the Windows functions themselves on Windows (no long-path rewriting, so
// names behave as the user typed them), their POSIX counterparts elsewhere.
// Error codes are Windows codes on both sides.
//
// Off Windows a path in drive form reaches the file system through a drive
// table, as under Wine: Z: is the root "/", and no other letter names a drive.
// So Z:\tmp\x is /tmp/x; backslashes and slashes both separate.
#pragma once

#include "os/WideText.h"

#include <cstdint>

namespace os {

// Windows error codes the path code tells apart.
inline constexpr uint32_t kErrorFileNotFound = 2;
inline constexpr uint32_t kErrorPathNotFound = 3;
inline constexpr uint32_t kErrorAccessDenied = 5;
inline constexpr uint32_t kErrorInvalidData = 13;
inline constexpr uint32_t kErrorInvalidDrive = 15;
inline constexpr uint32_t kErrorBadNetPath = 53;
inline constexpr uint32_t kErrorInvalidName = 123;
inline constexpr uint32_t kErrorAlreadyExists = 183;
inline constexpr uint32_t kErrorDirectory = 267;

// GetFileAttributesW: false when the path cannot be queried (missing, bad name).
[[nodiscard]] bool wideFileAttributes(const wchar* path, uint32_t& attributes);

// CreateDirectoryW. `securityAttributes` is a SECURITY_ATTRIBUTES on Windows
// (null for the default) and is ignored elsewhere. `error` is the Windows code
// of a failure (183 for an existing object, 5 for access denied, 3 for a
// missing parent); the thread's last error is left as the system set it.
[[nodiscard]] bool createDirectoryWide(const wchar* path, void* securityAttributes, uint32_t& error);

// SetErrorMode(SEM_FAILCRITICALERRORS): returns the mode to restore. POSIX has
// no such dialogs; there the mode is only remembered.
uint32_t failCriticalErrorsSilently();
void restoreErrorMode(uint32_t mode);

// GetVolumeInformationW on a root ending in a backslash ("C:\", "\\srv\share\"),
// asking for nothing but success. Elsewhere a drive root of the drive table is
// a volume; any other root fails with 3 (a drive that is not there) or 53 (a
// network path).
[[nodiscard]] bool volumeInformation(const wchar* root, uint32_t& error);

// The process's current directory in Windows form (the C runtime's _wgetcwd);
// elsewhere the POSIX directory through the drive table, as Z:\....
[[nodiscard]] bool currentDirectoryWide(wchar* buffer, size_t size);

// The C runtime's 64-bit time: whole seconds since 1970.
int64_t crtTime64();

// Sets the thread's last error (SetLastError; errno elsewhere).
void setLastErrorCode(uint32_t code);

} // namespace os
