// Registering the unpacker of the packed code page mappings, and unpacking them once.
#include "zip/base/text/PackedTables.h"

#include <atomic>
#include <cstdlib>
#include <mutex>

namespace vexmar {

namespace {

std::atomic<TableUnpacker> registeredUnpacker{nullptr};

std::mutex unpackLock;
// Set once, under the lock, to the block or to nothing after a failure.
std::atomic<const uint8_t*> unpackedBlock{nullptr};
bool unpackTried = false;

} // namespace

void setCodePageUnpacker(TableUnpacker unpacker) {
    registeredUnpacker.store(unpacker, std::memory_order_release);
}

const uint8_t* unpackedTables() {
    if (const uint8_t* block = unpackedBlock.load(std::memory_order_acquire))
        return block;
    TableUnpacker unpacker = registeredUnpacker.load(std::memory_order_acquire);
    if (!unpacker)
        return nullptr;
    std::lock_guard<std::mutex> lock(unpackLock);
    if (unpackTried)
        return unpackedBlock.load(std::memory_order_relaxed);
    unpackTried = true;
    // Kept for the process, like the lookups built from it.
    auto* block = static_cast<uint8_t*>(std::malloc(kUnpackedTablesSize));
    if (!block)
        return nullptr;
    if (!unpacker(kPackedTables, kPackedTablesSize, block, kUnpackedTablesSize)) {
        std::free(block);
        return nullptr;
    }
    unpackedBlock.store(block, std::memory_order_release);
    return block;
}

} // namespace vexmar
