// bzip2 decoding from a source to an output (ZIP method 12), through libbz2.
#pragma once

namespace vexmar {

class DataSource;
class LogBase;
class Output;
class ProgressMonitor;

// Decodes one bzip2 stream. Fails on corrupt data and when the source ends first.
bool bzip2FromSource(DataSource& source, Output& output, ProgressMonitor* monitor, LogBase& log);

} // namespace vexmar
