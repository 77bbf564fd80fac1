// Converts byte strings between encodings named by Windows code page numbers,
// with tables built into the program. UTF-16LE (1200) is the pivot: any pair
// not handled directly goes through it.
#pragma once

#include <cstdint>

namespace vexmar {

class DataBuffer;
class LogBase;
class OutputCursor;
struct CodePageTable;
struct ForwardTable;

class EncodingConvert {
public:
    // What happens to a character that cannot be converted.
    enum ErrorAction : int {
        kDrop = 0,
        kSubstitute = 1,        // the substitution bytes instead
        kHtmlReference = 2,     // "&#x...;"
        kAlternateCodePage = 6, // converted once more, to the alternate code page
        kPassThrough = 7,       // the input bytes unchanged
        kByteAndZero = 8,       // the byte followed by a 0 byte
    };
    static constexpr int kUtf16LE = 1200;
    static constexpr int kUtf16BE = 1201;
    static constexpr int kUtf8 = 65001;
    static constexpr int kUtf7 = 65000;
    static constexpr int kUtf32LE = 65005;
    static constexpr int kUtf32BE = 65006;
    static constexpr int kShiftJis = 932;
    static constexpr int kKorean = 949;
    static constexpr int kMacArabic = 10004;
    static constexpr int kIso2022Kr = 50225;
    // 50220, 50221 and 50222 are ISO-2022-JP alike.
    static bool isIso2022Jp(int codePage) { return codePage >= 50220 && codePage <= 50222; }

    EncodingConvert() = default;
    virtual ~EncodingConvert() = default;
    EncodingConvert(const EncodingConvert&) = delete;
    EncodingConvert& operator=(const EncodingConvert&) = delete;

    void setErrorAction(int action) { errorAction_ = action; }
    int getErrorAction() const { return errorAction_; }
    void setAlternateCodePage(int codePage) { altCodePage_ = codePage; }
    // At most kMaxSubstitution bytes are kept.
    void setSubstitution(const void* bytes, uint32_t n);

    // The general entry: appends the converted bytes to `out`. A code page of 0
    // means the same as the other one. False when a character could not be
    // converted (see the error action) or a code page is unknown (then nothing
    // is appended).
    bool EncConvert(int fromCodePage, int toCodePage, const void* data, uint32_t length,
                    DataBuffer& out, LogBase& log);
    // EncConvert without ISO-2022, Mac Arabic, and UTF-7 or UTF-32 as the
    // target; leading byte-order marks are removed and decide the byte order.
    bool convert_a(int fromCodePage, int toCodePage, const void* data, uint32_t length,
                   DataBuffer& out, LogBase& log);

    // UTF-8 to UTF-16LE and back.
    bool convertToUnicode(const void* data, uint32_t length, DataBuffer& out, LogBase& log);
    bool convertFromUnicode(const void* data, uint32_t length, DataBuffer& out, LogBase& log);
    // A table code page to UTF-16LE and back.
    bool convertToUnicodeHC(int codePage, const void* data, uint32_t length, DataBuffer& out,
                            LogBase& log);
    bool convertFromUnicodeHC(int codePage, const void* data, uint32_t length, DataBuffer& out,
                              LogBase& log);

    // Whether conversions to and from this code page are built in.
    static bool isKnownCodePage(int codePage);

    static constexpr uint32_t kMaxSubstitution = 16;

private:
    // Raw bytes carried through a UTF-16 pivot go in runs of at most this many.
    static constexpr uint32_t kMaxMarkedRun = 5;
    // The unit that marks such a run, followed by its length byte.
    static constexpr char16_t kMarkerUnit = 0xFDEF;

    bool convertToUnicodeByLookup(const ForwardTable& forward, const uint8_t* data, uint32_t length,
                                  DataBuffer& out, LogBase& log);
    // A multi-byte table code page to UTF-16LE; undecodable input goes to the
    // error action `errorWidth` bytes at a time.
    bool convertMultiByte(const CodePageTable& table, const ForwardTable& forward,
                          uint32_t errorWidth, const uint8_t* data, uint32_t length,
                          DataBuffer& out);
    // Through a stateful encoding: ISO-2022 as the source, or ISO-2022, UTF-7
    // or UTF-32 as the target.
    bool fromIso2022(int fromCodePage, int toCodePage, const uint8_t* data, uint32_t length,
                     DataBuffer& out, LogBase& log);
    bool toStateful(int fromCodePage, int toCodePage, const uint8_t* data, uint32_t length,
                    DataBuffer& out, LogBase& log);
    bool toUtf16(int codePage, const uint8_t* data, uint32_t length, DataBuffer& out, LogBase& log);
    bool fromUtf16(int codePage, const uint8_t* data, uint32_t length, DataBuffer& out,
                   LogBase& log);
    bool pivot(int fromCodePage, int toCodePage, const uint8_t* data, uint32_t length,
               DataBuffer& out, LogBase& log);
    // The error action for input bytes that cannot be decoded (the output is
    // UTF-16) and for a UTF-16 unit the target has no bytes for.
    bool onBadBytes(const uint8_t* bytes, uint32_t n, DataBuffer& out);
    bool onBadUnit(char16_t unit, DataBuffer& out, LogBase& log);
    bool writeRaw(const uint8_t* bytes, uint32_t n, DataBuffer& out);
    // The same from inside a conversion loop: the cursor is committed around
    // the error action and then makes room for `room` more bytes.
    bool handleBadBytes(OutputCursor& cursor, uint8_t*& p, const uint8_t* bytes, uint32_t n,
                        uint64_t room);
    bool handleBadUnit(OutputCursor& cursor, uint8_t*& p, char16_t unit, uint64_t room,
                       LogBase& log);
    // Takes back the conversion's output; the conversion fails.
    bool outOfMemory(OutputCursor& cursor);
    // After a marker unit: copies the run it announces when markers are
    // honoured and the count is valid; false leaves the unit to be converted.
    bool copyMarkedRun(const uint8_t*& s, const uint8_t* end, uint8_t*& p) const;

    int errorAction_ = kDrop;
    int altCodePage_ = 0;
    uint8_t substitutionLen_ = 0;
    uint8_t substitution_[kMaxSubstitution] = {};
    uint8_t emitMarkers_ = 0;
    uint8_t honourMarkers_ = 0;
    int fromCodePage_ = 0;
    int toCodePage_ = 0;
    // Set when memory ran out: the conversion then leaves no output.
    bool allocFailed_ = false;
};

} // namespace vexmar
