// What a launcher executable says of itself in its string tables: the suite it
// installs and the names of the payload files it looks for. Read from the file,
// so that any launcher copy can be examined without running it.
#pragma once

#include "os/WideText.h"

#include <string>

namespace vexmar {
class ExeImage;
} // namespace vexmar

namespace Pellquin {

struct LauncherIdentity {
    os::wstring suiteName;        // string 133
    os::wstring suiteFolder;      // string 134
    os::wstring suiteGuid;        // string 136; empty: not a launcher
    os::wstring setupProgram;     // string 154
    os::wstring suiteDescription; // string 155
    os::wstring uiLanguages;      // string 163
};

// The strings of the first language table that has each; the payload file names
// fall back to the launcher's usual ones when the tables lack them.
LauncherIdentity ReadLauncherIdentity(const vexmar::ExeImage& image);

// The payload's path of a file in its Installer folder ("Installer/setup.exe").
std::string InstallerEntryName(const os::wstring& fileName);

} // namespace Pellquin
