// Reading a text file line by line through the C runtime's streams.
#pragma once

#include "toolkit/diag/Text.h"

#include <cstdio>

namespace Quillkit {

class TextFile {
public:
    TextFile() = default;
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    // Opens the file for reading, without text-mode translation ("rb").
    bool Open(const WChar* path);
    void Close();
    // Whether a read reached the end of the file.
    bool AtEnd() const;
    // One line, converted from the ANSI code page, without its LF or CR LF. Lines
    // of any length are read whole. Raises -12 on a read or conversion error.
    void ReadLine(WString& out);

private:
    std::FILE* file_ = nullptr;
};

} // namespace Quillkit
