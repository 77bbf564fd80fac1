// Decoding one entry's data into an output: the method table, then the checks
// against the entry's size and CRC-32.
#include "codecs/bzip2/Bzip2Decode.h"
#include "codecs/inflate/Inflate.h"
#include "codecs/legacy/Implode.h"
#include "codecs/legacy/Unshrink.h"
#include "codecs/lzma/LzmaDecode.h"
#include "codecs/ppmd/PpmdEntry.h"
#include "zip/archive/ZipSystem.h"
#include "zip/central/MemoryData.h"
#include "zip/central/ZipEntryMapped.h"
#include "zip/central/ZipFormat.h"
#include "zip/core/DataBuffer.h"
#include "zip/core/LogBase.h"
#include "zip/core/LogContextExitor.h"
#include "zip/extract/CheckedOutput.h"
#include "zip/io/MemDataObjSource.h"

using namespace zipfmt;

namespace {

// Imploded entries: general-purpose flag bits 1 and 2.
constexpr uint16_t kFlagEightKDictionary = 0x0002;
constexpr uint16_t kFlagThreeTrees = 0x0004;

// Shrunk (1) and imploded (6) entries are decoded whole, in memory, straight from the archive
// image, and then written in one piece.
bool decodeInMemory(int method, const ZipEntryInfo& info, const MemoryData& image, Output& output,
                    ProgressMonitor* monitor, LogBase& log) {
    if (info.compressedSize > UINT32_MAX) {
        log.logError("Compressed data too large to decode in memory.");
        return false;
    }
    const uint32_t length = uint32_t(info.compressedSize);
    const uint8_t* data = image.getBytes(info.dataOffset, length, log);
    if (!data)
        return false;
    DataBuffer decoded;
    bool ok;
    if (method == 1) {
        Unshrink unshrink;
        ok = unshrink.decode(data, length, info.uncompressedSize, log, decoded);
    } else {
        const uint16_t flags = info.central.flags;
        Implode implode;
        implode.setInput(data, length);
        ok = implode.decode((flags & kFlagEightKDictionary) != 0, (flags & kFlagThreeTrees) != 0,
                            info.uncompressedSize, log, decoded);
    }
    return ok && output.write(decoded, monitor, log);
}

} // namespace

bool ZipEntryMapped::mappedInflateToOutput(Output& output, ProgressMonitor* monitor,
                                           LogBase& log, bool verbose) {
    LogContextExitor ctx(log, "mappedInflateToOutput");
    if (!ensureLocalLoaded(log) || !archiveImage(log))
        return false;
    output.setProgressByBytes(true);

    CheckedOutput checked(output, info_->uncompressedSize);
    checked.setProgressByBytes(true);
    if (info_->compressedSize != 0 && !decodeData(checked, monitor, log, verbose))
        return false;
    return checkDecoded(checked.bytesPassed(), checked.crc(), log);
}

bool ZipEntryMapped::decodeData(Output& output, ProgressMonitor* monitor, LogBase& log,
                                bool verbose) {
    const ZipEntryInfo& info = *info_;
    const uint16_t flags = info.central.flags;
    if ((flags & kFlagEncrypted) && (flags & kFlagStrongEncryption)) {
        log.logError("Strong encryption is not supported.");
        return false;
    }
    const int method = info.actualMethod;
    if ((flags & kFlagEncrypted) || info.encryption != 0) {
        log.logError("Unsupported compression method.");
        log.logDataInt("_cMethod", method);
        log.logInfo("Encrypted entries are not supported.");
        return false;
    }

    MemDataObjSource source;
    source.setup(archiveImage(log), info.dataOffset, info.compressedSize);
    switch (method) {
    case 0: {
        LogContextExitor step(log, "fromUncompressed");
        uint64_t total = 0;
        return source.copyToOutput(output, total, monitor, log);
    }
    case 8:
    case 9: {
        LogContextExitor step(log, method == 8 ? "fromDeflated" : "fromEnhDeflated");
        return inflateFromSource(false, source, output, method == 9, monitor, log,
                                 info.uncompressedSize);
    }
    case 98: {
        LogContextExitor step(log, "fromPpmd");
        return ppmdFromSource(source, output, info.uncompressedSize, monitor, log, verbose);
    }
    case 12: {
        LogContextExitor step(log, "fromBzip2");
        return bzip2FromSource(source, output, monitor, log);
    }
    case 14: {
        LogContextExitor step(log, "fromLzma");
        return lzmaFromSource(source, output, info.uncompressedSize, monitor, log);
    }
    case 1:
    case 6: {
        LogContextExitor step(log, method == 6 ? "fromImploded" : "fromShrunk");
        return decodeInMemory(method, info, *archiveImage(log), output, monitor, log);
    }
    default:
        log.logError("Unsupported compression method.");
        log.logDataInt("_cMethod", method);
        return false;
    }
}

bool ZipEntryMapped::checkDecoded(uint64_t bytes, uint32_t crc, LogBase& log) {
    const ZipEntryInfo& info = *info_;
    if (bytes != info.uncompressedSize) {
        log.logError("The entry's data decodes to fewer bytes than its size.");
        log.logDataInt64("declaredSize", static_cast<int64_t>(info.uncompressedSize));
        log.logDataInt64("decodedSize", static_cast<int64_t>(bytes));
        return false;
    }
    // WinZip AE-2 entries store no CRC-32; their authentication code stands in for it.
    const bool noCrc = info.encryption == 4 && info.aesVendorVersion == 2;
    if (!noCrc && crc != info.central.crc32) {
        log.logError("CRC-32 mismatch: the extracted data is not what was stored.");
        log.logDataHex("storedCrc32", info.central.crc32);
        log.logDataHex("computedCrc32", crc);
        return false;
    }
    return true;
}
