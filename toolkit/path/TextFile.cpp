#include "toolkit/path/TextFile.h"

#include "os/AnsiText.h"
#include "os/Stdio.h"
#include "toolkit/diag/Raise.h"

#include <string>

namespace Quillkit {

namespace {
constexpr int kChunk = 256;
}

TextFile::~TextFile() {
    Close();
}

bool TextFile::Open(const WChar* path) {
    Close();
    if (!path)
        return false;
    file_ = os::fopenUtf8(os::toUtf8(path, os::wideLength(path)).c_str(), "rb");
    return file_ != nullptr;
}

void TextFile::Close() {
    if (file_)
        std::fclose(file_);
    file_ = nullptr;
}

bool TextFile::AtEnd() const {
    return !file_ || std::feof(file_);
}

// The line's bytes are gathered first and converted once, so that a character
// of a multi-byte code page is never cut at a chunk boundary.
void TextFile::ReadLine(WString& out) {
    out.clear();
    if (!file_)
        return;
    std::string bytes;
    for (;;) {
        char chunk[kChunk];
        chunk[0] = 0;
        chunk[kChunk - 2] = 0;
        chunk[kChunk - 1] = 0;
        if (!std::fgets(chunk, kChunk, file_)) {
            if (std::ferror(file_)) {
                RaiseWindowsError(QK_TEXT("fgets"));
                return;
            }
            break;
        }
        bytes += chunk;
        if (chunk[kChunk - 2] == 0 || chunk[kChunk - 2] == '\n')
            break;
    }
    if (!os::ansiToWide(bytes.data(), bytes.size(), out)) {
        RaiseWindowsError(QK_TEXT("MultiByteToWideChar"));
        return;
    }
    if (!out.empty() && out.back() == '\n') {
        out.pop_back();
        if (!out.empty() && out.back() == '\r')
            out.pop_back();
    }
}

} // namespace Quillkit
