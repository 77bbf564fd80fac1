// PPMd entries (ZIP method 98): the 2-byte header, then the PPMd variant I revision 1 data.
#pragma once

#include <cstdint>

namespace vexmar {

class DataSource;
class LogBase;
class Output;
class ProgressMonitor;

// Reads the header (model order, sub-allocator size, restoration method) from the source and
// decodes the rest into the output, which may receive at most uncompressedSize bytes. With
// verbose, the header's values go to the log.
bool ppmdFromSource(DataSource& source, Output& output, uint64_t uncompressedSize,
                    ProgressMonitor* monitor, LogBase& log, bool verbose);

} // namespace vexmar
