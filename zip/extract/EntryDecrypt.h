// Decryption of an entry's stored data: which kind it needs, the traditional header check
// and the WinZip AES authentication code after the data.
#pragma once

#include "codecs/crypto/PwdProtect.h"
#include "codecs/crypto/WinZipAes.h"

#include <memory>

namespace vexmar {

class LogBase;
class MemoryData;
struct ZipEntryInfo;

enum class EntryCipher { None, Traditional, WinZipAes, Unsupported };

// Traditional: flag bit 0 without strong encryption, method not 99. WinZip AES: the entry
// carries the AES extra field. Unsupported: strong encryption or the engine's own kinds.
EntryCipher entryCipher(const ZipEntryInfo& info);

// Checks the password against the entry's 12-byte encryption header in the image. On success
// the returned decryptor's keys are past the header, ready for the data after it; on failure
// (null) the reason is logged.
std::unique_ptr<PwdProtect> checkTraditionalPassword(const ZipEntryInfo& info,
                                                     const MemoryData& image,
                                                     const StringBuffer& password, LogBase& log,
                                                     bool verbose);

// Reads the 10 bytes after the entry's encrypted data and compares them with the HMAC.
bool checkWinZipAesCode(WinZipAes& aes, const ZipEntryInfo& info, const MemoryData& image,
                        LogBase& log);

} // namespace vexmar
