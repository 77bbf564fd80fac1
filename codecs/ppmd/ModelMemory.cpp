#include "codecs/ppmd/ModelMemory.h"

#include "os/LargeBlock.h"
#include "os/Lock.h"

namespace vexmar {

namespace ppmd {

namespace {

class SpareBlock {
public:
    ~SpareBlock() { os::freeLargeBlock(block_, size_); }

    uint8_t* take(uint32_t size) {
        lock_.enter();
        uint8_t* block = nullptr;
        if (block_ && size_ == size) {
            block = block_;
            block_ = nullptr;
        }
        lock_.leave();
        return block ? block : static_cast<uint8_t*>(os::allocateLargeBlock(size));
    }

    // Keeps the newest block; the one it replaces is freed.
    void put(uint8_t* block, uint32_t size) {
        lock_.enter();
        uint8_t* old = block_;
        const uint32_t oldSize = size_;
        block_ = block;
        size_ = size;
        lock_.leave();
        os::freeLargeBlock(old, oldSize);
    }

private:
    os::RecursiveLock lock_;
    uint8_t* block_ = nullptr;
    uint32_t size_ = 0;
};

SpareBlock& spare() {
    static SpareBlock instance;
    return instance;
}

} // namespace

uint8_t* takeModelMemory(uint32_t size) {
    return spare().take(size);
}

void returnModelMemory(uint8_t* block, uint32_t size) {
    if (block)
        spare().put(block, size);
}

} // namespace ppmd

} // namespace vexmar
