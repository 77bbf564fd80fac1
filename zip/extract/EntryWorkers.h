// Extracting and testing a run's entries on several threads (see OrderedWork). Each returns
// false, having done nothing, when no thread could be started.
#pragma once

#include <cstdint>
#include <vector>

namespace vexmar {

class LogBase;
class ProgressEvent;
class ProgressMonitor;
class XString;
class ZipEntryBase;
class ZipEntryMapped;

struct UnzipChoice {
    const XString& directory;
    bool ignoreFolders;
    bool clearReadOnly;
};

// Writes `entries` below the directory; `ok` turns false when one fails or an abort cuts one
// short. The events of each entry come in entry order on the calling thread.
bool unzipOnWorkers(unsigned workers, const std::vector<ZipEntryMapped*>& entries,
                    const UnzipChoice& choice, ProgressEvent* event, ProgressMonitor* monitor,
                    int32_t& count, bool& ok, LogBase& log);

// Decodes and checks `entries`; `failures` counts those that fail.
bool testOnWorkers(unsigned workers, const std::vector<ZipEntryBase*>& entries,
                   ProgressMonitor* monitor, int32_t& failures, LogBase& log);

} // namespace vexmar
