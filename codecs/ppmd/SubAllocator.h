// The sub-allocator of PPMd variant I: one block, with the text area (the symbols seen lately)
// at the bottom and 12-byte units above it. State arrays grow upwards from unitsStart, contexts
// downwards from the top; freed blocks go to 38 lists by size and are glued together when a
// list runs dry. Its decisions decide when the model is out of memory, so they follow the
// encoder's exactly.
#pragma once

#include "codecs/ppmd/ModelUnits.h"

#include <array>
#include <cstdint>

namespace vexmar {

namespace ppmd {

// Size classes: 1 to 4 units one by one, then steps of 2 up to 12, of 3 up to 24 and of 4 up
// to 128.
constexpr std::array<uint8_t, kIndexCount> makeIndexToUnits() {
    std::array<uint8_t, kIndexCount> units{};
    unsigned u = 0;
    for (unsigned i = 0; i < kIndexCount; ++i) {
        u += i < 4 ? 1 : i < 8 ? 2 : i < 12 ? 3 : 4;
        units[i] = static_cast<uint8_t>(u);
    }
    return units;
}

// The smallest class that holds n units, at n - 1 for n = 1 to 128.
constexpr std::array<uint8_t, 128> makeUnitsToIndex() {
    const std::array<uint8_t, kIndexCount> units = makeIndexToUnits();
    std::array<uint8_t, 128> index{};
    unsigned i = 0;
    for (unsigned n = 1; n <= 128; ++n) {
        if (units[i] < n)
            ++i;
        index[n - 1] = static_cast<uint8_t>(i);
    }
    return index;
}

class SubAllocator {
public:
    SubAllocator() = default;
    ~SubAllocator();
    SubAllocator(const SubAllocator&) = delete;
    SubAllocator& operator=(const SubAllocator&) = delete;

    // A block of `size` bytes (a multiple of 4), kept when it has that size already. False
    // when the memory cannot be had.
    bool allocate(uint32_t size);
    void release();
    uint32_t size() const { return size_; }

    // An empty model's layout: the text area holds the first eighth of the block.
    void reset();

    uint32_t ref(const void* p) const {
        return static_cast<uint32_t>(static_cast<const uint8_t*>(p) - base_);
    }
    template <class T> T* at(uint32_t ref) const { return reinterpret_cast<T*>(base_ + ref); }
    // True for references to units, false for text positions and 0.
    bool isUnit(uint32_t ref) const { return base_ + ref >= unitsStart; }

    static constexpr unsigned unitsOf(unsigned index) { return kIndexToUnits[index]; }
    static constexpr unsigned indexOf(unsigned units) { return kUnitsToIndex[units - 1]; }

    // A block of unitsOf(index) units, or null.
    void* allocUnits(unsigned index) {
        if (freeList_[index] != 0)
            return removeNode(index);
        const uint32_t bytes = unitsOf(index) * kUnitSize;
        if (static_cast<uint32_t>(hiUnit - loUnit) >= bytes) {
            uint8_t* block = loUnit;
            loUnit += bytes;
            return block;
        }
        return allocUnitsRare(index);
    }
    // One unit for a context, taken from the top first.
    void* allocContext() {
        if (hiUnit != loUnit)
            return hiUnit -= kUnitSize;
        if (freeList_[0] != 0)
            return removeNode(0);
        return allocUnitsRare(0);
    }
    // Moves a block of oldUnits to one of oldUnits + 1 when that is a larger size class.
    // Returns the block, or null when memory is out.
    void* growByOne(void* block, unsigned oldUnits);
    void* shrinkUnits(void* block, unsigned oldUnits, unsigned newUnits);
    void freeUnits(void* block, unsigned units) { insertNode(block, indexOf(units)); }
    // Frees one unit; at unitsStart it goes back to the text area.
    void specialFreeUnit(void* unit);
    // Moves a block nearer the text area to a free one higher up, so that expandTextArea()
    // can reclaim its place. Returns where the block is now.
    void* moveUnitsUp(void* block, unsigned units);
    // Gives the free blocks right above the text area back to it.
    void expandTextArea();
    uint32_t usedMemory() const;

    // Where the next symbol goes in the text area, and where the units begin.
    uint8_t* text = nullptr;
    uint8_t* unitsStart = nullptr;
    // The untouched gap between the state arrays and the contexts.
    uint8_t* loUnit = nullptr;
    uint8_t* hiUnit = nullptr;
    // Rare allocations left until the free blocks are glued again.
    uint32_t glueCount = 0;

private:
    static constexpr std::array<uint8_t, kIndexCount> kIndexToUnits = makeIndexToUnits();
    static constexpr std::array<uint8_t, 128> kUnitsToIndex = makeUnitsToIndex();

    void insertNode(void* block, unsigned index);
    void* removeNode(unsigned index);
    // Puts the tail of a block, beyond unitsOf(newIndex) units, on the free lists.
    void splitBlock(void* block, unsigned oldIndex, unsigned newIndex);
    // Frees a run of units of any length, in blocks the lists can hold.
    void insertRun(FreeNode* run, uint32_t units);
    void glueFreeBlocks();
    void* allocUnitsRare(unsigned index);

    uint8_t* base_ = nullptr;
    uint32_t size_ = 0;
    uint32_t freeList_[kIndexCount] = {};
    uint32_t freeCount_[kIndexCount] = {}; // nodes on each list
};

} // namespace ppmd

} // namespace vexmar
