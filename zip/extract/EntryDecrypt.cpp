#include "zip/extract/EntryDecrypt.h"

#include "zip/central/MemoryData.h"
#include "zip/central/ZipEntryInfo.h"
#include "zip/central/ZipFormat.h"
#include "zip/base/LogBase.h"
#include "zip/io/MemDataObjSource.h"

namespace vexmar {

using namespace zipfmt;

EntryCipher entryCipher(const ZipEntryInfo& info) {
    const uint16_t flags = info.central.flags;
    if ((flags & kFlagEncrypted) && (flags & kFlagStrongEncryption))
        return EntryCipher::Unsupported;
    if ((flags & kFlagEncrypted) && info.central.method != kMethodWinZipAes)
        return EntryCipher::Traditional;
    if (info.encryption == encryptionNumber(Encryption::kWinZipAes))
        return EntryCipher::WinZipAes;
    if (info.encryption != encryptionNumber(Encryption::kNone))
        return EntryCipher::Unsupported;
    return EntryCipher::None;
}

std::unique_ptr<PwdProtect> checkTraditionalPassword(const ZipEntryInfo& info,
                                                     const MemoryData& image,
                                                     const StringBuffer& password, LogBase& log,
                                                     bool verbose) {
    auto decryptor = std::make_unique<PwdProtect>();
    decryptor->setPassword(reinterpret_cast<const uint8_t*>(password.getString()),
                           password.getSize());
    decryptor->initKeys();
    const uint8_t* header = image.getBytes(info.dataOffset, PwdProtect::kHeaderSize, log);
    if (!header) {
        log.logError("Failed to check password for password-protected entry.");
        return nullptr;
    }
    // With a data descriptor the CRC-32 was not known when the header was made, so the
    // writer checks against the modification time instead.
    const bool dataDescriptor = (info.central.flags & kFlagDataDescriptor) != 0;
    const uint8_t checkByte =
        dataDescriptor ? uint8_t(info.central.dosTime >> 8) : uint8_t(info.central.crc32 >> 24);
    if (!decryptor->checkHeader(header, checkByte)) {
        if (verbose) {
            log.logDataInt("isDataDescriptor", dataDescriptor ? 1 : 0);
            log.logDataHex("crc32", info.central.crc32);
            log.logDataBytes("PwdProtectData", header, PwdProtect::kHeaderSize);
        }
        log.logError("Password for password-protected entry is invalid.");
        return nullptr;
    }
    return decryptor;
}

bool checkWinZipAesCode(WinZipAes& aes, const ZipEntryInfo& info, const MemoryData& image,
                        LogBase& log) {
    MemDataObjSource source;
    source.setup(&image, info.dataOffset + info.compressedSize - WinZipAes::kAuthCodeSize,
                 WinZipAes::kAuthCodeSize);
    uint8_t code[WinZipAes::kAuthCodeSize];
    if (source.readExactly(code, sizeof code, nullptr, log) != sizeof code) {
        log.logError("Failed to read WZ AES MAC.");
        return false;
    }
    if (!aes.checkAuthCode(code)) {
        log.logError("WZ AES authentication code mismatch.");
        return false;
    }
    return true;
}

} // namespace vexmar
