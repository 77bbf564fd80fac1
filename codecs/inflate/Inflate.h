// Deflate decoding from a source to an output: what entry extraction calls for methods 8
// (deflate) and 9 (Deflate64).
#pragma once

#include <cstdint>

namespace vexmar {

class DataSource;
class LogBase;
class Output;
class ProgressMonitor;

// Decodes the deflate stream the source holds into the output. With zlibWrapped the stream
// carries the zlib header and Adler-32 trailer, and the Adler-32 of the output is checked.
// Fails when the data is invalid, when the source ends before the final block does, and when
// more than maxOutputBytes bytes come out (pass an entry's declared size). On success the source
// is left just after the compressed data.
bool inflateFromSource(bool zlibWrapped, DataSource& source, Output& output, bool deflate64,
                       ProgressMonitor* monitor, LogBase& log,
                       uint64_t maxOutputBytes = UINT64_MAX);

} // namespace vexmar
