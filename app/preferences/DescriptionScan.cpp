#include "app/preferences/DescriptionScan.h"

#include "app/preferences/SuiteGuid.h"

#include <algorithm>

namespace Pellquin {

void DescriptionScan::feed(const uint8_t* data, size_t length) {
    for (size_t i = 0; i < length && !found_; ++i) {
        chunk_ += char(data[i]);
        if (data[i] == '\n' || chunk_.size() == kChunk - 1)
            endChunk();
    }
}

void DescriptionScan::finish() {
    if (found_)
        return;
    if (!chunk_.empty())
        endChunk();
    else if (!line_.empty())
        endLine();
}

// One fgets: the piece up to its first NUL joins the line; the line ends unless
// the piece filled the buffer with neither a line feed nor a NUL as its last byte.
void DescriptionScan::endChunk() {
    const bool full = chunk_.size() == kChunk - 1;
    const char last = full ? chunk_.back() : '\0';
    const size_t nul = chunk_.find('\0');
    if (line_.size() < kLongestLine)
        line_.append(chunk_, 0, std::min(nul, kLongestLine - line_.size()));
    chunk_.clear();
    if (!full || last == '\n' || last == '\0')
        endLine();
}

void DescriptionScan::endLine() {
    os::wstring text;
    text.reserve(line_.size());
    for (char byte : line_)
        text += os::wchar(uint8_t(byte));
    line_.clear();
    found_ = SuiteGuidInLine(text, guid_);
}

} // namespace Pellquin
