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
#include "zip/base/DataBuffer.h"
#include "zip/base/LogBase.h"
#include "zip/base/LogContextExitor.h"
#include "zip/extract/CheckedOutput.h"
#include "zip/extract/EntryDecrypt.h"
#include "zip/io/MemDataObjSource.h"

#include <memory>

namespace vexmar {

using namespace zipfmt;

namespace {

// Imploded entries: general-purpose flag bits 1 and 2.
constexpr uint16_t kFlagEightKDictionary = 0x0002;
constexpr uint16_t kFlagThreeTrees = 0x0004;

// Shrunk (1) and imploded (6) entries are decoded whole, in memory, and then written in one
// piece. Their stored data comes straight from the archive image, or through the source when
// it has to be decrypted first.
bool decodeInMemory(Method method, const ZipEntryInfo& info, const MemoryData& image,
                    DataSource& source, uint64_t length64, Output& output, ProgressMonitor* monitor,
                    LogBase& log) {
    if (length64 > UINT32_MAX) {
        log.logError("Compressed data too large to decode in memory.");
        return false;
    }
    const uint32_t length = uint32_t(length64);
    // The stored data must be in the image before anything is reserved for it.
    if (uint64_t(info.dataOffset) + length > image.size()) {
        log.logError("The entry's compressed data runs past the end of the archive.");
        log.logDataInt64("compressedSize", int64_t(length));
        return false;
    }
    const uint8_t* data = nullptr;
    DataBuffer decrypted;
    if (source.transform()) {
        if (!decrypted.ensureCapacity(length) || !decrypted.setSize(length)) {
            log.logOutOfMemory("decodeInMemory", length);
            return false;
        }
        if (source.readExactly(decrypted.getData(), length, monitor, log) != length)
            return false;
        data = decrypted.getData();
    } else {
        data = image.getBytes(info.dataOffset, length, log);
        if (!data)
            return false;
    }
    DataBuffer decoded;
    bool ok;
    if (method == Method::kShrunk) {
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

bool ZipEntryMapped::mappedInflateToOutput(Output& output, ProgressMonitor* monitor, LogBase& log,
                                           bool verbose) {
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
    const MemoryData& image = *archiveImage(log);
    const StringBuffer& password = system()->password;
    uint64_t start = info.dataOffset;
    uint64_t length = info.compressedSize;
    std::unique_ptr<DataTransform> transform;
    WinZipAes* aes = nullptr;

    switch (entryCipher(info)) {
    case EntryCipher::None:
        break;
    case EntryCipher::Unsupported:
        if (info.central.flags & kFlagStrongEncryption)
            log.logError("Strong encryption is not supported.");
        else
            log.logError("This kind of encryption is not supported.");
        log.logDataInt("encryption", info.encryption);
        return false;
    case EntryCipher::Traditional: {
        if (length < PwdProtect::kHeaderSize) {
            log.logError("Compressed data size too small for password-protected.");
            return false;
        }
        transform = checkTraditionalPassword(info, image, password, log, verbose);
        if (!transform)
            return false;
        start += PwdProtect::kHeaderSize;
        length -= PwdProtect::kHeaderSize;
        break;
    }
    case EntryCipher::WinZipAes: {
        if (length < WinZipAes::kAuthCodeSize) {
            log.logError("Compressed data size too small for WZ AES.");
            return false;
        }
        length -= WinZipAes::kAuthCodeSize;
        auto decryptor = std::make_unique<WinZipAes>();
        aes = decryptor.get();
        transform = std::move(decryptor);
        break;
    }
    }

    MemDataObjSource source;
    source.setup(&image, start, length);
    if (aes) {
        bool badPassword = false;
        if (!wzDecryptInit(*aes, source, password, info.keyLength, monitor, log, badPassword))
            return false;
    }
    source.setTransform(std::move(transform));
    if (!decodeMethod(source, length, output, monitor, log, verbose))
        return false;
    if (!aes)
        return true;
    // The code covers every stored byte, also any a decoder left unread after its end mark.
    if (!source.skipBytes(UINT64_MAX, monitor, log))
        return false;
    return checkWinZipAesCode(*aes, info, image, log);
}

bool ZipEntryMapped::decodeMethod(DataSource& source, uint64_t length, Output& output,
                                  ProgressMonitor* monitor, LogBase& log, bool verbose) {
    const ZipEntryInfo& info = *info_;
    const Method method = static_cast<Method>(info.actualMethod);
    switch (method) {
    case Method::kStored: {
        LogContextExitor step(log, "fromUncompressed");
        uint64_t total = 0;
        return source.copyToOutput(output, total, monitor, log);
    }
    case Method::kDeflated:
    case Method::kDeflate64: {
        const bool deflate64 = method == Method::kDeflate64;
        LogContextExitor step(log, deflate64 ? "fromEnhDeflated" : "fromDeflated");
        return inflateFromSource(false, source, output, deflate64, monitor, log,
                                 info.uncompressedSize);
    }
    case Method::kPpmd: {
        LogContextExitor step(log, "fromPpmd");
        return ppmdFromSource(source, output, info.uncompressedSize, monitor, log, verbose);
    }
    case Method::kBzip2: {
        LogContextExitor step(log, "fromBzip2");
        return bzip2FromSource(source, output, monitor, log);
    }
    case Method::kLzma: {
        LogContextExitor step(log, "fromLzma");
        return lzmaFromSource(source, output, info.uncompressedSize, monitor, log);
    }
    case Method::kShrunk:
    case Method::kImploded: {
        LogContextExitor step(log, method == Method::kImploded ? "fromImploded" : "fromShrunk");
        return decodeInMemory(method, info, *archiveImage(log), source,
                              length - uint64_t(source.position()), output, monitor, log);
    }
    default:
        break;
    }
    log.logError("Unsupported compression method.");
    log.logDataInt("_cMethod", info.actualMethod);
    return false;
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
    const bool noCrc =
        info.encryption == encryptionNumber(Encryption::kWinZipAes) && info.aesVendorVersion == 2;
    if (!noCrc && crc != info.central.crc32) {
        log.logError("CRC-32 mismatch: the extracted data is not what was stored.");
        log.logDataHex("storedCrc32", info.central.crc32);
        log.logDataHex("computedCrc32", crc);
        return false;
    }
    return true;
}

} // namespace vexmar
