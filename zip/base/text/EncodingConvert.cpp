// The conversion entries: code page 0, byte-order marks, the detours of the
// stateful encodings, and the choice between a direct conversion and a UTF-16
// pivot.
#include "zip/base/text/EncodingConvert.h"

#include "zip/base/text/CodePageTable.h"
#include "zip/base/text/StatefulCoders.h"
#include "zip/base/DataBuffer.h"
#include "zip/base/LogBase.h"
#include "zip/base/LogContextExitor.h"

#include <cstring>

namespace vexmar {

namespace {

// Appends the bytes with each pair swapped; an odd last byte is dropped.
bool appendSwapped(const uint8_t* s, uint32_t length, DataBuffer& out) {
    length &= ~1u;
    if (!out.ensureRoom(length))
        return false;
    uint32_t size = out.getSize();
    uint8_t* p = out.getData() + size;
    for (uint32_t i = 0; i < length; i += 2) {
        p[i] = s[i + 1];
        p[i + 1] = s[i];
    }
    return out.setSize(size + length);
}

// A leading byte-order mark: its length, and the code page it says the text is
// in (0 for none).
uint32_t byteOrderMark(int codePage, const uint8_t* s, uint32_t length, int& markedCodePage) {
    markedCodePage = 0;
    if (codePage == EncodingConvert::kUtf16LE || codePage == EncodingConvert::kUtf16BE) {
        if (length >= 2 && s[0] == 0xFE && s[1] == 0xFF)
            markedCodePage = EncodingConvert::kUtf16BE;
        else if (length >= 2 && s[0] == 0xFF && s[1] == 0xFE)
            markedCodePage = EncodingConvert::kUtf16LE;
        return markedCodePage ? 2 : 0;
    }
    if (codePage == EncodingConvert::kUtf8) {
        bool marked = length >= 3 && std::memcmp(s, "\xEF\xBB\xBF", 3) == 0;
        markedCodePage = marked ? codePage : 0;
        return marked ? 3 : 0;
    }
    if (codePage == EncodingConvert::kUtf32LE || codePage == EncodingConvert::kUtf32BE) {
        if (length >= 4 && std::memcmp(s, "\0\0\xFE\xFF", 4) == 0)
            markedCodePage = EncodingConvert::kUtf32BE;
        else if (length >= 4 && std::memcmp(s, "\xFF\xFE\0\0", 4) == 0)
            markedCodePage = EncodingConvert::kUtf32LE;
        return markedCodePage ? 4 : 0;
    }
    return 0;
}

// What convert_a converts from (as) and to: UTF-7 and UTF-32 only from.
bool convertibleByConvertA(int codePage, bool asSource) {
    if (codePage == EncodingConvert::kUtf16LE || codePage == EncodingConvert::kUtf16BE ||
        codePage == EncodingConvert::kUtf8 || findCodePageTable(codePage) != nullptr)
        return true;
    return asSource &&
           (codePage == EncodingConvert::kUtf7 || codePage == EncodingConvert::kUtf32LE ||
            codePage == EncodingConvert::kUtf32BE);
}

} // namespace

bool EncodingConvert::isKnownCodePage(int codePage) {
    return convertibleByConvertA(codePage, true) || isIso2022Jp(codePage) || codePage == kIso2022Kr;
}

bool EncodingConvert::EncConvert(int fromCodePage, int toCodePage, const void* data,
                                 uint32_t length, DataBuffer& out, LogBase& log) {
    LogContextExitor context(log, "EncConvert");
    if (log.isVerbose()) {
        log.logDataInt("fromCodePage", fromCodePage);
        log.logDataInt("toCodePage", toCodePage);
    }
    if (fromCodePage == 0)
        fromCodePage = toCodePage;
    if (toCodePage == 0)
        toCodePage = fromCodePage;
    allocFailed_ = false;
    if (fromCodePage == toCodePage) {
        allocFailed_ = !out.append(data, length);
        return !allocFailed_;
    }
    if (!isKnownCodePage(fromCodePage) || !isKnownCodePage(toCodePage))
        return false;
    const auto* s = static_cast<const uint8_t*>(data);
    DataBuffer working;
    if (fromCodePage == kMacArabic) {
        if (!working.append(s, length)) {
            allocFailed_ = true;
            return false;
        }
        textcoders::prepareMacArabic(working.getData(), length);
        s = working.getData();
    }
    if (isIso2022Jp(fromCodePage) || fromCodePage == kIso2022Kr)
        return fromIso2022(fromCodePage, toCodePage, s, length, out, log);
    if (!convertibleByConvertA(toCodePage, false))
        return toStateful(fromCodePage, toCodePage, s, length, out, log);
    return convert_a(fromCodePage, toCodePage, s, length, out, log);
}

// ISO-2022 is decoded to its code page (932 or 949), which goes on to the target.
bool EncodingConvert::fromIso2022(int fromCodePage, int toCodePage, const uint8_t* s,
                                  uint32_t length, DataBuffer& out, LogBase& log) {
    bool japanese = isIso2022Jp(fromCodePage);
    if (japanese && log.isVerbose())
        log.logInfo("Converting from iso-2022-*");
    DataBuffer decoded;
    textcoders::Result r = japanese ? textcoders::iso2022JpToShiftJis(s, length, decoded)
                                    : textcoders::iso2022KrTo949(s, length, decoded);
    if (r == textcoders::Result::kOutOfMemory) {
        allocFailed_ = true;
        return false;
    }
    bool ok = EncConvert(japanese ? kShiftJis : kKorean, toCodePage, decoded.getData(),
                         decoded.getSize(), out, log);
    return ok && r == textcoders::Result::kOk;
}

// The target's neighbour first (932, 949, UTF-16 or UTF-8), then the target.
bool EncodingConvert::toStateful(int fromCodePage, int toCodePage, const uint8_t* s,
                                 uint32_t length, DataBuffer& out, LogBase& log) {
    int middleCodePage = isIso2022Jp(toCodePage)    ? kShiftJis
                         : toCodePage == kIso2022Kr ? kKorean
                         : toCodePage == kUtf7      ? kUtf16LE
                                                    : kUtf8;
    DataBuffer middle;
    bool ok = convert_a(fromCodePage, middleCodePage, s, length, middle, log);
    if (allocFailed_)
        return false;
    const uint8_t* m = middle.getData();
    uint32_t n = middle.getSize();
    uint32_t start = out.getSize();
    textcoders::Result r;
    if (isIso2022Jp(toCodePage))
        r = textcoders::shiftJisToIso2022Jp(m, n, out);
    else if (toCodePage == kIso2022Kr)
        r = textcoders::cp949ToIso2022Kr(m, n, out);
    else if (toCodePage == kUtf7)
        r = textcoders::utf16ToUtf7(m, n, out);
    else
        r = textcoders::utf8ToUtf32(m, n, toCodePage == kUtf32BE, out);
    if (r == textcoders::Result::kOutOfMemory) {
        out.shorten(out.getSize() - start);
        allocFailed_ = true;
        return false;
    }
    return ok && r == textcoders::Result::kOk;
}

bool EncodingConvert::convert_a(int fromCodePage, int toCodePage, const void* data, uint32_t length,
                                DataBuffer& out, LogBase& log) {
    LogContextExitor context(log, "convert_a");
    if (fromCodePage == 0)
        fromCodePage = toCodePage;
    if (toCodePage == 0)
        toCodePage = fromCodePage;
    if (!convertibleByConvertA(fromCodePage, true) || !convertibleByConvertA(toCodePage, false))
        return false;
    fromCodePage_ = fromCodePage;
    toCodePage_ = toCodePage;
    allocFailed_ = false;
    const auto* s = static_cast<const uint8_t*>(data);

    // A leading byte-order mark goes, and says which byte order it is.
    int marked = 0;
    uint32_t markLength = byteOrderMark(fromCodePage, s, length, marked);
    if (markLength) {
        fromCodePage = marked;
        s += markLength;
        length -= markLength;
        if (length == 0)
            return true;
    }

    // Big-endian UTF-16 is swapped, UTF-32 becomes UTF-8 and UTF-7 UTF-16.
    DataBuffer rewritten;
    textcoders::Result r = textcoders::Result::kOk;
    bool rewrite = true;
    if (fromCodePage == kUtf16BE) {
        if (!appendSwapped(s, length, rewritten))
            r = textcoders::Result::kOutOfMemory;
        fromCodePage = kUtf16LE;
    } else if (fromCodePage == kUtf32LE || fromCodePage == kUtf32BE) {
        r = textcoders::utf32ToUtf8(s, length, fromCodePage == kUtf32BE, toCodePage != kUtf8,
                                    rewritten);
        fromCodePage = kUtf8;
    } else if (fromCodePage == kUtf7) {
        r = textcoders::utf7ToUtf16(s, length, rewritten);
        fromCodePage = kUtf16LE;
    } else {
        rewrite = false;
    }
    if (r == textcoders::Result::kOutOfMemory) {
        allocFailed_ = true;
        return false;
    }
    if (rewrite) {
        s = rewritten.getData();
        length = rewritten.getSize();
    }

    uint32_t start = out.getSize();
    bool ok;
    if (fromCodePage == toCodePage) {
        ok = out.append(s, length);
        allocFailed_ = !ok;
    } else if (fromCodePage == kUtf16LE) {
        ok = fromUtf16(toCodePage, s, length, out, log);
    } else if (toCodePage == kUtf16LE) {
        ok = toUtf16(fromCodePage, s, length, out, log);
    } else {
        ok = pivot(fromCodePage, toCodePage, s, length, out, log);
    }
    if (allocFailed_) {
        out.shorten(out.getSize() - start);
        return false;
    }
    return ok && r == textcoders::Result::kOk;
}

bool EncodingConvert::toUtf16(int codePage, const uint8_t* data, uint32_t length, DataBuffer& out,
                              LogBase& log) {
    if (codePage == kUtf8)
        return convertToUnicode(data, length, out, log);
    return convertToUnicodeHC(codePage, data, length, out, log);
}

bool EncodingConvert::fromUtf16(int codePage, const uint8_t* data, uint32_t length, DataBuffer& out,
                                LogBase& log) {
    if (codePage == kUtf8)
        return convertFromUnicode(data, length, out, log);
    if (codePage == kUtf16BE) {
        allocFailed_ = !appendSwapped(data, length, out);
        return !allocFailed_ && length % 2 == 0;
    }
    return convertFromUnicodeHC(codePage, data, length, out, log);
}

// Through UTF-16. Bytes the first stage cannot decode but passes on raw (error
// actions 1, 2 and 7) travel behind markers that the second stage honours.
bool EncodingConvert::pivot(int fromCodePage, int toCodePage, const uint8_t* data, uint32_t length,
                            DataBuffer& out, LogBase& log) {
    if (log.isVerbose()) {
        if (fromCodePage == kUtf8)
            log.logInfo("Converting from utf-8 using utf-16 as a pivot table...");
        else if (toCodePage == kUtf8)
            log.logInfo("Converting to utf-8 using utf-16 as a pivot table...");
        else
            log.logInfo("Converting by using utf-16 as a pivot table...");
    }
    // Big-endian UTF-16 output is a byte swap, which cannot honour markers.
    bool markers = toCodePage != kUtf16BE;
    DataBuffer utf16;
    emitMarkers_ = markers;
    bool decoded = toUtf16(fromCodePage, data, length, utf16, log);
    emitMarkers_ = 0;
    if (allocFailed_)
        return false;
    honourMarkers_ = markers;
    bool encoded = fromUtf16(toCodePage, utf16.getData(), utf16.getSize(), out, log);
    honourMarkers_ = 0;
    return decoded && encoded;
}

} // namespace vexmar
