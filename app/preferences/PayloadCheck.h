// Whether a payload ZIP can work in a launcher: the launcher starts
// Installer/setup.exe, and takes a folder holding Installer/orvsuite.xml for its
// own only when that file names its suite GUID. A payload without either makes
// an installer that fails on the customer's machine, so it is refused when the
// installer is built.
#pragma once

#include "app/preferences/LauncherIdentity.h"

#include <string>

namespace vexmar {
class VxZipW;
} // namespace vexmar

namespace Pellquin {

// What an opened payload holds of what the launcher needs.
struct PayloadFacts {
    bool hasSetup = false;
    bool hasDescription = false;
    bool descriptionRead = false; // decoded and checked
    os::wstring describedGuid;    // empty: the description names no suite
    bool sameSuite = false;       // the described GUID is the launcher's
};

// Looks at the archive `zip` has open, for the launcher `launcher`.
PayloadFacts ExaminePayload(vexmar::VxZipW& zip, const LauncherIdentity& launcher);

// Why an installer with this payload would not work, in one line; empty when it would.
std::string PayloadFault(const PayloadFacts& facts, const LauncherIdentity& launcher);

// The check made before `zipPath` is embedded into `exePath`.
struct PayloadRefusal {
    std::string reason;          // empty: nothing to refuse
    bool launcherAtFault = false; // the executable, not the ZIP, is what is wrong
};
// An executable or ZIP file that cannot be read at all is left to the embedding,
// which refuses it with its own cause.
PayloadRefusal CheckPayloadForLauncher(const os::wstring& exePath, const os::wstring& zipPath);

} // namespace Pellquin
