// LZMA decoding from a source to an output (ZIP method 14).
#pragma once

#include <cstdint>

namespace vexmar {

class DataSource;
class LogBase;
class Output;
class ProgressMonitor;

// The source starts with the ZIP LZMA header: version (2 bytes), properties size
// (2 bytes), then the properties. Decoding stops at the end marker or once
// `uncompressedSize` bytes have come out.
bool lzmaFromSource(DataSource& source, Output& output, uint64_t uncompressedSize,
                    ProgressMonitor* monitor, LogBase& log);

} // namespace vexmar
