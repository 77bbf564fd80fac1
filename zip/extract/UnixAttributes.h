// What an entry made on a Unix system keeps once extracted: its execute
// permissions, and, for the folders of a run, their stored times.
#pragma once

#include <cstdint>

namespace vexmar {

class LogBase;
class VexmarHandle;
class XString;
class ZipSystem;
struct CentralHeader;

// Gives the written file the execute permissions its entry carries, when the
// entry comes from Unix and is a plain file. A refusal is logged, never fatal:
// the data is written whole.
void keepExecuteBits(VexmarHandle& file, const CentralHeader& header, LogBase& log);

// Sets the stored times of the folder entries a run wrote. Writing a file into a
// folder changes the folder's time, so this comes after every file is in place.
void restoreFolderTimes(ZipSystem& system, const XString& directory, bool ignoreFolders,
                        const char* pattern);

} // namespace vexmar
