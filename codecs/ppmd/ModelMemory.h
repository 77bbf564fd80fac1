// Where the sub-allocator's block comes from. The block of the last decode is kept for the
// next one of the same size: archives hold many entries with the same parameters, and a fresh
// block costs a page fault for each page the model touches again. Only one block is kept.
#pragma once

#include <cstdint>

namespace vexmar {

namespace ppmd {

// A block of `size` bytes (its contents undefined), or null when the memory cannot be had.
uint8_t* takeModelMemory(uint32_t size);
// Gives the block back; it may be kept for the next take of that size.
void returnModelMemory(uint8_t* block, uint32_t size);

} // namespace ppmd

} // namespace vexmar
