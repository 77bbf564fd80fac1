// An entry's name turned into the folder and file names it is written under, below the
// extraction folder: every prefix that would name another place (drive, UNC server and
// share, long-path prefix, leading separators) dropped, "." and ".." applied, and each
// name repaired so that no system reads it as something else (a device, a stream, a
// parent folder).
#pragma once

#include <string>
#include <vector>

namespace vexmar {

enum class EntryNameProblem {
    None,
    ControlCharacter, // a byte 0x00-0x1F: refused, not deleted
    LeavesFolder,     // ".." climbs above the extraction folder
};

// `windowsRules` also repairs trailing dots and spaces, which Windows would drop.
// `names` receives the names in order; it is empty for a name that means the folder itself.
EntryNameProblem entryPathNames(const std::string& entryName, bool windowsRules,
                                std::vector<std::string>& names);

// One name, repaired: ":" and the other characters Windows refuses become "_"; a device
// name (con, nul, com1, conin$... in any case, with any extension, trailing dots or
// spaces) and a name of nothing but dots and spaces get "_" in front.
std::string repairedName(const std::string& name, bool windowsRules);

} // namespace vexmar
