// Opens an archive image and decodes every entry into memory, as extraction would, with a
// password set for encrypted entries.
#include "zip/archive/ClsZip2.h"
#include "zip/archive/ZipSystem.h"
#include "zip/central/ZipEntryMapped.h"
#include "zip/base/DataBuffer.h"
#include "zip/base/Logger.h"
#include "zip/io/OutputDataBuffer.h"

#include <cstddef>
#include <cstdint>
#include <memory>

using namespace vexmar;

// Entries that claim more than this are left alone: the fuzzer looks for memory
// errors, not for the machine's limits.
constexpr uint64_t kLargestEntry = 8u << 20;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0xFFFFFFFF)
        return 0;
    ZipSystem system;
    system.oemCodePage = 437;
    // The password of the encrypted seeds, so that their entries get past the password checks
    // into decryption, decoding and the authentication code.
    system.password.setString("pellquin");
    auto owned = std::make_unique<ClsZip2>(&system);
    ClsZip2* zip = owned.get();
    system.addArchive(std::move(owned));
    if (!zip->OpenFromMemory(data, static_cast<uint32_t>(size)))
        return 0;

    for (uint32_t i = 0; i < zip->numEntries(); ++i) {
        auto* entry = static_cast<ZipEntryMapped*>(zip->entryAt(i));
        if (!entry || entry->getUncompressedSize64() > kLargestEntry)
            continue;
        DataBuffer bytes;
        OutputDataBuffer output(&bytes);
        Logger log;
        entry->mappedInflateToOutput(output, nullptr, log, false);
    }
    return 0;
}
