// Entry names: UTF-8 when the header says so, otherwise in the archive's OEM code page.
#include "codecs/text/EncodingConvert.h"
#include "zip/archive/ZipSystem.h"
#include "zip/central/ZipEntryMapped.h"
#include "zip/central/ZipFormat.h"
#include "zip/core/DataBuffer.h"
#include "zip/core/LogNull.h"

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

} // namespace

void ZipEntryMapped::decodeName(LogBase&) {
    ZipEntryInfo& info = *info_;
    if ((info.central.flags & zipfmt::kFlagUtf8) || info.decodedName || info.rawName.isEmpty())
        return;

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
