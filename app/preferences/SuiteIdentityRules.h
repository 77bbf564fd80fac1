// What a suite's name, folder, GUID and vendor must be for a launcher that works
// on the customer's machine; the rules vxzip brand applies before it rewrites a
// launcher.
#pragma once

#include "os/WideText.h"

#include <cstddef>
#include <string>

namespace Pellquin {

// How many characters a download folder's path (ending with "\") is over the
// launcher's budget: the length reserved for the payload's paths (string 135)
// plus the path and "Installer" may not exceed MAX_PATH. 0 or less: it fits.
int DownloadPathExcess(int reserve, size_t pathLength);

// The longest suite folder any download folder can hold: the shortest path that
// holds it is "C:\FOLDER\".
size_t LongestSuiteFolder(int reserve);

// Whether `guid` is of the form {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX} (hex digits).
bool IsBracedGuid(const os::wstring& guid);

// Why `component` cannot be one folder name on Windows (empty, a control or
// reserved character, a device name, a trailing dot or space); empty when it can.
std::string FolderNameFault(const os::wstring& component);

// The same for a suite folder: one folder name, or two joined by one backslash.
std::string SuiteFolderFault(const os::wstring& folder);

} // namespace Pellquin
