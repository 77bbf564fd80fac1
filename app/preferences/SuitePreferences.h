// Where the launcher keeps its download folder per suite, and how it recognises
// the suite a folder already holds.
//
// The preferences file, VENDOR\Installation Preferences\Pellrune.ini below
// the user's local application-data folder (VENDOR is string 171), is a UTF-16 profile file of that
// user alone: one section per suite GUID (string 136) with "FullPath" (the
// download folder, ending with "\") and "SuiteName" (string 133), and a section
// "Default" whose "LastUsedRootDirectory" may name a root for every suite.
#pragma once

#include "toolkit/diag/Text.h"
#include "toolkit/path/StrictPath.h"

namespace Pellquin {

// The preferences file below `appDataFolder` (the user's local application-data
// folder, with or without a trailing backslash). Raises as StrictPath does.
Quillkit::StrictPath PreferencesFilePath(const Quillkit::StrictPath& appDataFolder);

// Whether `path` is absolute on a drive letter ("C:\..."). Network paths
// ("\\server\share", which would also hand the user's credentials to that
// server), device and long-path forms ("\\.\", "\\?\") and relative paths are not.
bool IsDriveLetterPath(const Quillkit::WChar* path);

// The folder to propose: this suite's "FullPath", else "LastUsedRootDirectory"
// of "Default" followed by the suite's folder (string 134). A remembered value
// that IsDriveLetterPath refuses counts as absent. `downloadDir` keeps its value
// when the file is missing, unreadable, or holds no valid path, and when
// `iniPath` is empty (no place for preferences). Never
// fails to its caller (a toolkit error is reported and cleared); only a missing
// launcher string (Quillkit::FatalResourceError) passes through.
void LoadPreferences(const Quillkit::StrictPath& iniPath, Quillkit::StrictPath& downloadDir);

// Records `downloadDir` as this suite's "FullPath" (and its "SuiteName"),
// creating the folder and the file with the security they inherit, and keeping
// the file in UTF-16. An empty `iniPath` saves nothing. Failures stop it
// quietly, as for LoadPreferences.
void SavePreferences(const Quillkit::StrictPath& iniPath, const Quillkit::StrictPath& downloadDir);

// True only when `suiteDescription` (an orvsuite.xml) exists and names this
// suite: the packageguid="{...}" after "<suiteid" on the same line equals string
// 136, ignoring case. A file that cannot be read counts as a different suite.
bool SameSuiteInDirectory(const Quillkit::StrictPath& suiteDescription);

} // namespace Pellquin
