// Reading a suite description's bytes for the GUID it names, as the launcher
// reads the file once it is extracted.
#pragma once

#include "os/WideText.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace Pellquin {

// Finds the suite GUID in a description's bytes, line by line as the launcher
// reads the extracted file: through fgets into 256-byte chunks, so that what
// follows a NUL byte in a chunk is lost and a chunk that fills the buffer with a
// NUL or line feed as its last byte ends the line. Bytes become UTF-16 one for
// one: the GUID and the names around it are ASCII, which every ANSI code page
// keeps. A line longer than 1 MiB keeps only its first 1 MiB.
class DescriptionScan {
public:
    // The whole file is read even after the GUID is found, so that its size and
    // CRC-32 are checked: a damaged description would fail the extraction.
    void feed(const uint8_t* data, size_t length);
    // After the last byte: a last line without a line feed is read too.
    void finish();
    bool found() const { return found_; }
    const os::wstring& guid() const { return guid_; }

private:
    static constexpr size_t kChunk = 256;
    static constexpr size_t kLongestLine = size_t(1) << 20;

    void endChunk();
    void endLine();

    std::string chunk_;
    std::string line_;
    bool found_ = false;
    os::wstring guid_;
};

} // namespace Pellquin
