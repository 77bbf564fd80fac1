// The encodings that are not a table: each is turned into or made from a
// neighbouring encoding that is (UTF-7 from UTF-16, UTF-32 from UTF-8,
// ISO-2022-JP from Shift-JIS, ISO-2022-KR from code page 949). Input they
// cannot convert is dropped and makes the result kBadInput; output is
// appended.
#pragma once

#include <cstdint>

namespace vexmar {

class DataBuffer;

namespace textcoders {

enum class Result { kOk, kBadInput, kOutOfMemory };

// Combines the results of two steps: running out of memory wins.
inline Result worse(Result a, Result b) {
    return a > b ? a : b;
}

// UTF-7 (RFC 2152) and UTF-16LE.
Result utf7ToUtf16(const uint8_t* s, uint32_t length, DataBuffer& out);
Result utf16ToUtf7(const uint8_t* s, uint32_t length, DataBuffer& out);

// UTF-32 (whole four-byte units only) and UTF-8. A character beyond U+FFFF
// becomes a four-byte sequence, or with `surrogatePairs` the two three-byte
// sequences of its surrogate pair, which the UTF-8 decoder of the pivot keeps.
// The way back joins such a pair into one character again.
Result utf32ToUtf8(const uint8_t* s, uint32_t length, bool bigEndian, bool surrogatePairs,
                   DataBuffer& out);
Result utf8ToUtf32(const uint8_t* s, uint32_t length, bool bigEndian, DataBuffer& out);

// ISO-2022-JP (50220-50222) and Shift-JIS (932).
Result iso2022JpToShiftJis(const uint8_t* s, uint32_t length, DataBuffer& out);
Result shiftJisToIso2022Jp(const uint8_t* s, uint32_t length, DataBuffer& out);

// ISO-2022-KR (50225) and code page 949.
Result iso2022KrTo949(const uint8_t* s, uint32_t length, DataBuffer& out);
Result cp949ToIso2022Kr(const uint8_t* s, uint32_t length, DataBuffer& out);

// Mac Arabic (10004) text as written right to left, made ready for its table
// in place: runs of right-to-left characters reversed, the right-to-left
// copies of digits and punctuation folded to their plain bytes.
void prepareMacArabic(uint8_t* s, uint32_t length);

} // namespace textcoders

} // namespace vexmar
