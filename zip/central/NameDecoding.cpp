// Entry names: UTF-8 when the header says so or a Unix zip wrote them, otherwise in the
// archive's OEM code page.
#include "zip/base/text/EncodingConvert.h"
#include "zip/archive/ZipSystem.h"
#include "zip/central/ZipEntryMapped.h"
#include "zip/central/ZipFormat.h"
#include "zip/base/DataBuffer.h"
#include "zip/base/LogNull.h"

namespace vexmar {

namespace {

// Bytes that DOS code pages 437 and 850 give to box drawing, but that in practice
// come from Windows machines writing their ANSI code page.
bool looksLikeAnsi(uint8_t b) {
    return (b >= 0xA6 && b <= 0xB4) || (b >= 0xB9 && b <= 0xBC) || (b >= 0xBF && b <= 0xC5) ||
           (b >= 0xC8 && b <= 0xCF) || b >= 0xEF;
}

bool decodeFrom(int codePage, const StringBuffer& raw, StringBuffer& out) {
    DataBuffer utf8;
    EncodingConvert conv;
    LogNull log;
    conv.EncConvert(codePage, EncodingConvert::kUtf8, raw.getString(), raw.getSize(), utf8, log);
    out.setString(reinterpret_cast<const char*>(utf8.getData()), utf8.getSize());
    out.replaceAllChars('\\', '/');
    return !out.isEmpty();
}

// Version-made-by hosts whose zip tools store names as the file system has them: UTF-8 on
// today's Unix and macOS, without setting flag bit 11.
constexpr int kHostUnix = 3;
constexpr int kHostMacOs = 19;

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isUtf8(const uint8_t* p, uint32_t n) {
    for (uint32_t i = 0; i < n;) {
        const uint8_t b = p[i];
        uint32_t extra;
        uint32_t lowest;
        if (b < 0x80) {
            ++i;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            extra = 1;
            lowest = 0x80;
        } else if (b >= 0xE0 && b <= 0xEF) {
            extra = 2;
            lowest = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            extra = 3;
            lowest = 0x10000;
        } else {
            return false;
        }
        if (n - i <= extra)
            return false;
        uint32_t code = b & (0x3F >> extra);
        for (uint32_t k = 1; k <= extra; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (p[i + k] & 0x3F);
        }
        if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

bool isAscii(const uint8_t* p, uint32_t n) {
    for (uint32_t i = 0; i < n; ++i)
        if (p[i] >= 0x80)
            return false;
    return true;
}

// Info-ZIP's zip on Linux and macOS writes UTF-8 names without saying so; plain ASCII reads
// the same either way, and a name that is not UTF-8 keeps the code-page rule.
bool isUnixUtf8Name(const ZipEntryInfo& info) {
    const int host = info.central.versionMadeBy >> 8;
    if (host != kHostUnix && host != kHostMacOs)
        return false;
    const auto* p = reinterpret_cast<const uint8_t*>(info.rawName.getString());
    const uint32_t n = info.rawName.getSize();
    return !isAscii(p, n) && isUtf8(p, n);
}

} // namespace

void ZipEntryMapped::decodeName(LogBase&) {
    ZipEntryInfo& info = *info_;
    if ((info.central.flags & zipfmt::kFlagUtf8) || info.decodedName || info.rawName.isEmpty())
        return;
    if (isUnixUtf8Name(info)) {
        info.decodedName = std::make_unique<StringBuffer>();
        info.decodedName->setString(info.rawName.getString(), info.rawName.getSize());
        return;
    }

    int codePage = system() ? system()->oemCodePage : 437;
    if (codePage == 437 || codePage == 850) {
        const auto* p = reinterpret_cast<const uint8_t*>(info.rawName.getString());
        for (uint32_t i = 0; i < info.rawName.getSize(); ++i) {
            if (looksLikeAnsi(p[i])) {
                codePage = 1252;
                break;
            }
        }
    }
    auto name = std::make_unique<StringBuffer>();
    if (!decodeFrom(codePage, info.rawName, *name))
        decodeFrom(437, info.rawName, *name);
    info.decodedName = std::move(name);
}

} // namespace vexmar
