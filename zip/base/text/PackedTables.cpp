// Registering the unpacker of the packed code page mappings, and unpacking each
// block once.
#include "zip/base/text/PackedTables.h"

#include <cstdlib>
#include <mutex>

namespace vexmar {

namespace {

std::atomic<TableUnpacker> registeredUnpacker{nullptr};

std::mutex unpackLock;

} // namespace

void setCodePageUnpacker(TableUnpacker unpacker) {
    registeredUnpacker.store(unpacker, std::memory_order_release);
}

const uint8_t* unpackedBlock(const PackedBlock& block) {
    if (const uint8_t* data = block.unpacked.load(std::memory_order_acquire))
        return data;
    TableUnpacker unpacker = registeredUnpacker.load(std::memory_order_acquire);
    if (!unpacker)
        return nullptr;
    std::lock_guard<std::mutex> lock(unpackLock);
    if (block.tried)
        return block.unpacked.load(std::memory_order_relaxed);
    block.tried = true;
    // Kept for the process, like the lookups built from it.
    auto* data = static_cast<uint8_t*>(std::malloc(block.unpackedSize));
    if (!data)
        return nullptr;
    if (!unpacker(block.packed, block.packedSize, data, block.unpackedSize)) {
        std::free(data);
        return nullptr;
    }
    block.unpacked.store(data, std::memory_order_release);
    return data;
}

} // namespace vexmar
