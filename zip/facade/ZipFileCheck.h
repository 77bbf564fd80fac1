// A quick look at a ZIP file before it is embedded: its end records and the
// start of its central directory, read from the file in small pieces, so that
// an archive of any size needs no more than a 64 KB buffer.
#pragma once

#include <cstdint>
#include <functional>

namespace vexmar {

class LogBase;
class XString;

enum class ZipCheck {
    HasEntries,
    NoEntries,
    NotAZip, // no end record, or records that point outside the file
};

// Reads exactly `length` bytes at `offset` into `out`; false when the source
// does not hold them all.
using ZipReadAt = std::function<bool(uint64_t offset, uint8_t* out, uint32_t length)>;

// The verdict on a source of `size` bytes. Every offset and length taken from
// the records is checked against the file before it is read.
ZipCheck checkZipDirectory(uint64_t size, const ZipReadAt& readAt);

// False, with the reason in the log, when the file cannot be opened as a ZIP
// archive or names no entries.
bool zipFileHasEntries(const XString& path, LogBase& log);

} // namespace vexmar
