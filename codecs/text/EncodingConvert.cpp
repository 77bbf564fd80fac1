// The conversion entries: code page 0, byte-order marks, big-endian UTF-16,
// and the choice between a direct conversion and a UTF-16 pivot.
#include "codecs/text/EncodingConvert.h"

#include "codecs/text/CodePageTable.h"
#include "zip/core/DataBuffer.h"
#include "zip/core/LogBase.h"
#include "zip/core/LogContextExitor.h"

#include <cstring>

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

} // namespace

bool EncodingConvert::isKnownCodePage(int codePage) {
    return codePage == kUtf16LE || codePage == kUtf16BE || codePage == kUtf8 ||
           findCodePageTable(codePage) != nullptr;
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
    if (fromCodePage == toCodePage) {
        allocFailed_ = !out.append(data, length);
        return !allocFailed_;
    }
    return convert_a(fromCodePage, toCodePage, data, length, out, log);
}

bool EncodingConvert::convert_a(int fromCodePage, int toCodePage, const void* data, uint32_t length,
                                DataBuffer& out, LogBase& log) {
    LogContextExitor context(log, "convert_a");
    if (fromCodePage == 0)
        fromCodePage = toCodePage;
    if (toCodePage == 0)
        toCodePage = fromCodePage;
    if (!isKnownCodePage(fromCodePage) || !isKnownCodePage(toCodePage))
        return false;
    fromCodePage_ = fromCodePage;
    toCodePage_ = toCodePage;
    allocFailed_ = false;
    const auto* s = static_cast<const uint8_t*>(data);

    // A leading byte-order mark goes, and says which UTF-16 it is.
    bool hadMark = false;
    if ((fromCodePage == kUtf16LE || fromCodePage == kUtf16BE) && length >= 2) {
        if (s[0] == 0xFE && s[1] == 0xFF)
            fromCodePage = kUtf16BE;
        else if (s[0] == 0xFF && s[1] == 0xFE)
            fromCodePage = kUtf16LE;
        hadMark = (s[0] == 0xFE && s[1] == 0xFF) || (s[0] == 0xFF && s[1] == 0xFE);
        if (hadMark) {
            s += 2;
            length -= 2;
        }
    } else if (fromCodePage == kUtf8 && length >= 3 && std::memcmp(s, "\xEF\xBB\xBF", 3) == 0) {
        hadMark = true;
        s += 3;
        length -= 3;
    }
    if (hadMark && length == 0)
        return true;

    uint32_t start = out.getSize();
    DataBuffer littleEndian;
    if (fromCodePage == kUtf16BE) {
        if (!appendSwapped(s, length, littleEndian)) {
            allocFailed_ = true;
            return false;
        }
        s = littleEndian.getData();
        length = littleEndian.getSize();
        fromCodePage = kUtf16LE;
    }

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
    return ok;
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
