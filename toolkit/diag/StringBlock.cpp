#include "toolkit/diag/StringBlock.h"

#include "os/Resources.h"
#include "toolkit/diag/ErrorCodes.h"
#include "toolkit/diag/Raise.h"

#include <cstdlib>
#include <cstring>

namespace Quillkit {

namespace {

constexpr const WChar* kOutOfMemory = QK_TEXT("     malloc returned null - out of memory!");

void freeEntries(StringBlock* block) {
    for (WChar* entry : block->entries)
        std::free(entry);
}

// Copies the 16 counted entries of `data` into `block`. False when the data ends
// early; raises when memory runs out.
bool copyEntries(StringBlock* block, const void* data, uint32_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    uint32_t units = size / 2;
    uint32_t at = 0;
    auto unitAt = [&](uint32_t i) { return uint16_t(bytes[2 * i] | bytes[2 * i + 1] << 8); };
    for (uint32_t i = 0; i < kStringsPerBlock; ++i) {
        if (at >= units)
            return false;
        uint32_t count = unitAt(at++);
        if (count > units - at)
            return false;
        auto entry = static_cast<WChar*>(std::malloc((count + 1) * sizeof(WChar)));
        if (!entry) {
            freeEntries(block);
            std::memset(block->entries, 0, sizeof block->entries);
            RaiseErrorMessage(ErrorCode::kOutOfMemory, kOutOfMemory);
            return false;
        }
        for (uint32_t k = 0; k < count; ++k)
            entry[k] = WChar(unitAt(at + k));
        entry[count] = 0;
        block->entries[i] = entry;
        at += count;
    }
    return true;
}

} // namespace

StringBlock* LoadStringBlock(os::ModuleHandle module, uint32_t blockNumber, uint16_t language,
                             bool quiet) {
    uint16_t wanted = MapNeutralLanguage(language);
    uint16_t used = wanted;
    os::ResourceHandle resource =
        os::findResource(module, os::kResourceTypeString, uint16_t(blockNumber), wanted);
    if (!resource) {
        used = 0;
        resource = os::findResource(module, os::kResourceTypeString, uint16_t(blockNumber), 0);
    }
    if (!resource) {
        if (!quiet)
            RaiseWindowsError(QK_TEXT("FindResourceEx"));
        return nullptr;
    }
    uint32_t size = 0;
    const char* failedStep = "";
    const void* data = os::resourceData(module, resource, size, failedStep);
    if (!data) {
        RaiseWindowsError(std::strcmp(failedStep, "LoadResource") == 0 ? QK_TEXT("LoadResource")
                                                                       : QK_TEXT("LockResource"));
        return nullptr;
    }
    auto block = static_cast<StringBlock*>(std::calloc(1, sizeof(StringBlock)));
    if (!block) {
        RaiseErrorMessage(ErrorCode::kOutOfMemory, kOutOfMemory);
        return nullptr;
    }
    block->blockNumber = blockNumber;
    block->language = used;
    bool copied = false;
    try {
        copied = copyEntries(block, data, size);
    } catch (...) {
        std::free(block);
        throw;
    }
    if (copied)
        return block;
    freeEntries(block);
    std::free(block);
    if (!quiet)
        RaiseErrorMessage(ErrorCode::kBadInput, QK_TEXT("     String block %u is incomplete"),
                          unsigned(blockNumber));
    return nullptr;
}

uint32_t GetString(const StringBlock* block, uint32_t index, WChar* buffer, uint32_t* size) {
    if (!block) {
        RaiseErrorMessage(ErrorCode::kParameter,
                          QK_TEXT("     Error in %s: pStrBlock should not be NULL"),
                          QK_TEXT("Quillkit::GetString"));
        return kStringLoadFailed;
    }
    if (index >= kStringsPerBlock) {
        RaiseErrorMessage(ErrorCode::kImproperCall,
                          QK_TEXT("     String index invalid. Index: %u; Strings per block: %u"),
                          unsigned(index), unsigned(kStringsPerBlock));
        return kStringLoadFailed;
    }
    if (!size) {
        RaiseErrorMessage(ErrorCode::kImproperCall, QK_TEXT("     pszStrSize cannot be NULL"));
        return kStringLoadFailed;
    }
    const WChar* entry = block->entries[index] ? block->entries[index] : QK_TEXT("");
    uint32_t needed = uint32_t(os::wideLength(entry)) + 1;
    if (buffer && *size >= needed) {
        std::memcpy(buffer, entry, needed * sizeof(WChar));
        return 0;
    }
    *size = needed;
    return needed;
}

void DeleteStringBlock(StringBlock* block) {
    if (!block) {
        RaiseErrorMessage(ErrorCode::kParameter,
                          QK_TEXT("     Error in %s: pStrBlock should not be NULL"),
                          QK_TEXT("Quillkit::DeleteStringBlock"));
        return;
    }
    freeEntries(block);
    std::free(block);
}

uint16_t MapNeutralLanguage(uint16_t language) {
    switch (language) {
    case 9:
        return 1033;
    case 12:
        return 1036;
    case 17:
        return 1041;
    case 18:
        return 1042;
    case 7:
        return 1031;
    case 19:
        return 1043;
    case 22:
        return 1046;
    case 1:
        return 1025;
    case 6:
        return 1030;
    case 29:
        return 1053;
    case 20:
        return 1044;
    case 10:
        return 3082;
    case 25:
        return 1049;
    case 16:
        return 1040;
    default:
        return language;
    }
}

} // namespace Quillkit
