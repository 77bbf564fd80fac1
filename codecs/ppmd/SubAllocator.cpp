#include "codecs/ppmd/SubAllocator.h"

#include "codecs/ppmd/ModelMemory.h"

#include <cstring>

namespace vexmar {

namespace ppmd {

static_assert(SubAllocator::unitsOf(kIndexCount - 1) == 128);

SubAllocator::~SubAllocator() {
    release();
}

bool SubAllocator::allocate(uint32_t size) {
    if (base_ && size_ == size)
        return true;
    release();
    base_ = takeModelMemory(size);
    if (!base_)
        return false;
    size_ = size;
    return true;
}

void SubAllocator::release() {
    returnModelMemory(base_, size_);
    base_ = nullptr;
    size_ = 0;
}

void SubAllocator::reset() {
    std::memset(freeList_, 0, sizeof(freeList_));
    std::memset(freeCount_, 0, sizeof(freeCount_));
    text = base_;
    hiUnit = base_ + size_;
    loUnit = unitsStart = hiUnit - size_ / 8 / kUnitSize * 7 * kUnitSize;
    glueCount = 0;
}

void SubAllocator::insertNode(void* block, unsigned index) {
    auto* node = static_cast<FreeNode*>(block);
    node->stamp = kFreeStamp;
    node->next = freeList_[index];
    node->nu = unitsOf(index);
    freeList_[index] = ref(node);
    ++freeCount_[index];
}

void* SubAllocator::removeNode(unsigned index) {
    auto* node = at<FreeNode>(freeList_[index]);
    freeList_[index] = node->next;
    --freeCount_[index];
    return node;
}

void SubAllocator::insertRun(FreeNode* run, uint32_t units) {
    for (; units > 128; units -= 128, run += 128)
        insertNode(run, kIndexCount - 1);
    unsigned index = indexOf(units);
    if (unitsOf(index) != units) {
        // Between two classes: the next smaller one, and the 1 to 3 units left over.
        const unsigned lower = unitsOf(--index);
        insertNode(run + lower, units - lower - 1);
    }
    insertNode(run, index);
}

void SubAllocator::splitBlock(void* block, unsigned oldIndex, unsigned newIndex) {
    const unsigned kept = unitsOf(newIndex);
    insertRun(static_cast<FreeNode*>(block) + kept, unitsOf(oldIndex) - kept);
}

// Merges every free block with the free blocks that follow it in memory, then sorts the merged
// runs back into the lists. A context or a state array ends every run: the root context holds
// the block's last unit, and a zero stamp guards the gap at loUnit.
void SubAllocator::glueFreeBlocks() {
    glueCount = 1 << 13;
    std::memset(freeCount_, 0, sizeof(freeCount_));
    if (loUnit != hiUnit)
        reinterpret_cast<FreeNode*>(loUnit)->stamp = 0;

    // One chain of all free blocks, list by list; a block swallowed by one before it keeps
    // nu 0 and is left out.
    uint32_t chain = 0;
    uint32_t* link = &chain;
    for (unsigned i = 0; i < kIndexCount; ++i) {
        uint32_t next = freeList_[i];
        freeList_[i] = 0;
        while (next != 0) {
            FreeNode* node = at<FreeNode>(next);
            uint32_t nu = node->nu;
            *link = next;
            next = node->next;
            if (nu == 0)
                continue;
            link = &node->next;
            for (FreeNode* after; (after = node + nu)->stamp == kFreeStamp;) {
                nu += after->nu;
                after->nu = 0;
                node->nu = nu;
            }
        }
    }
    *link = 0;

    while (chain != 0) {
        FreeNode* node = at<FreeNode>(chain);
        chain = node->next;
        if (node->nu != 0)
            insertRun(node, node->nu);
    }
}

void* SubAllocator::allocUnitsRare(unsigned index) {
    if (glueCount == 0) {
        glueFreeBlocks();
        if (freeList_[index] != 0)
            return removeNode(index);
    }
    unsigned larger = index;
    do {
        if (++larger == kIndexCount) {
            // No free block is large enough: take the units from the top of the text area.
            const uint32_t bytes = unitsOf(index) * kUnitSize;
            --glueCount;
            if (static_cast<uint32_t>(unitsStart - text) > bytes)
                return unitsStart -= bytes;
            return nullptr;
        }
    } while (freeList_[larger] == 0);
    void* block = removeNode(larger);
    splitBlock(block, larger, index);
    return block;
}

void* SubAllocator::growByOne(void* block, unsigned oldUnits) {
    const unsigned index = indexOf(oldUnits);
    if (index == indexOf(oldUnits + 1))
        return block;
    void* grown = allocUnits(index + 1);
    if (!grown)
        return nullptr;
    std::memcpy(grown, block, oldUnits * kUnitSize);
    insertNode(block, index);
    return grown;
}

void* SubAllocator::shrinkUnits(void* block, unsigned oldUnits, unsigned newUnits) {
    const unsigned oldIndex = indexOf(oldUnits);
    const unsigned newIndex = indexOf(newUnits);
    if (oldIndex == newIndex)
        return block;
    if (freeList_[newIndex] != 0) {
        void* smaller = removeNode(newIndex);
        std::memcpy(smaller, block, newUnits * kUnitSize);
        insertNode(block, oldIndex);
        return smaller;
    }
    splitBlock(block, oldIndex, newIndex);
    return block;
}

void SubAllocator::specialFreeUnit(void* unit) {
    if (unit != unitsStart)
        insertNode(unit, 0);
    else
        unitsStart += kUnitSize;
}

void* SubAllocator::moveUnitsUp(void* block, unsigned units) {
    const unsigned index = indexOf(units);
    const uint32_t distance = static_cast<uint32_t>(static_cast<uint8_t*>(block) - unitsStart);
    if (distance > (1u << 14) || ref(block) > freeList_[index])
        return block;
    void* moved = removeNode(index);
    std::memcpy(moved, block, units * kUnitSize);
    if (block != unitsStart)
        insertNode(block, index);
    else
        unitsStart += unitsOf(index) * kUnitSize;
    return moved;
}

void SubAllocator::expandTextArea() {
    uint32_t taken[kIndexCount] = {};
    if (loUnit != hiUnit)
        reinterpret_cast<FreeNode*>(loUnit)->stamp = 0;

    // Free blocks right above the text area join it; their stamps mark them for removal.
    auto* node = reinterpret_cast<FreeNode*>(unitsStart);
    while (node->stamp == kFreeStamp) {
        const uint32_t nu = node->nu;
        node->stamp = 0;
        ++taken[indexOf(nu)];
        node += nu;
    }
    unitsStart = reinterpret_cast<uint8_t*>(node);

    for (unsigned i = 0; i < kIndexCount; ++i) {
        uint32_t left = taken[i];
        if (left == 0)
            continue;
        freeCount_[i] -= left;
        uint32_t* link = &freeList_[i];
        while (left != 0) {
            FreeNode* n = at<FreeNode>(*link);
            if (n->stamp == 0) {
                *link = n->next;
                --left;
            } else {
                link = &n->next;
            }
        }
    }
}

uint32_t SubAllocator::usedMemory() const {
    uint32_t freeUnits = 0;
    for (unsigned i = 0; i < kIndexCount; ++i)
        freeUnits += freeCount_[i] * unitsOf(i);
    return size_ - static_cast<uint32_t>(hiUnit - loUnit) -
           static_cast<uint32_t>(unitsStart - text) - freeUnits * kUnitSize;
}

} // namespace ppmd

} // namespace vexmar
