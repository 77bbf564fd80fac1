// Streaming LZMA1 decoding: compressed bytes pulled from a source in pieces, decoded bytes
// handed to an output in pieces, with memory for the dictionary (no larger than the output)
// and one piece of input.
#pragma once

#include "codecs/lzma/LzmaProperties.h"

#include <cstdint>

namespace vexmar {

class DataSource;
class LogBase;
class Output;
class ProgressMonitor;

namespace lzma {

// Decodes the raw stream that follows the properties until `size` bytes have come out or the
// end marker comes. Errors are logged.
bool decodeStream(const Properties& properties, DataSource& source, Output& output, uint64_t size,
                  ProgressMonitor* monitor, LogBase& log);

} // namespace lzma
} // namespace vexmar
