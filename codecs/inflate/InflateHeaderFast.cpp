// The code lengths of a dynamic block header, decoded in one loop while the chunk holds enough
// input for any code length code with its extra bits after a word refill. Stops, at a symbol
// boundary, where the careful steps must decide (an invalid code) or take over (the end of the
// chunk); the careful steps then go on exactly as if they had decoded everything before.
#include "codecs/inflate/InflateState.h"

#include "codecs/inflate/MatchCopy.h"

#include <algorithm>
#include <cstring>

namespace vexmar {

void InflateState::decodeCodeLengthsFast(const uint8_t*& next, const uint8_t* end) {
    // A refill reads 8 bytes.
    if (end - next < 8)
        return;
    const uint8_t* const inLimit = end - 8;
    const uint32_t* const table = codeLengthTable_.entries();
    const uint32_t mask = codeLengthTable_.rootMask();
    const int32_t total = literalLengthCount_ + distanceCount_;
    const uint8_t* in = next;
    uint64_t bits = bitBuffer_;
    uint32_t held = static_cast<uint32_t>(bitCount_);
    int32_t index = lengthIndex_;
    while (index < total && in <= inLimit) {
        // 56 bits or more: a code (at most 7 bits) and its extra bits (at most 7).
        bits |= loadLittleEndian64(in) << held;
        in += (63 - held) >> 3;
        held |= 56;
        const uint32_t entry = table[bits & mask];
        if (entry & HuffDecodeTable::kSlow)
            break;
        bits >>= entry & 0xFF;
        held -= entry & 0xFF;
        const uint32_t symbol = entry >> 16;
        if (symbol < 16) {
            codeLengths_[index++] = static_cast<uint8_t>(symbol);
            continue;
        }
        // 16: 3-6 copies of the previous length; 17: 3-10 zeros; 18: 11-138 zeros.
        const uint32_t extraBits = symbol == 16 ? 2 : symbol == 17 ? 3 : 7;
        const int32_t count = (symbol == 18 ? 11 : 3) +
                              static_cast<int32_t>(bits & ((uint32_t(1) << extraBits) - 1));
        bits >>= extraBits;
        held -= extraBits;
        const uint8_t value = symbol == 16 && index > 0 ? codeLengths_[index - 1] : 0;
        const int32_t stored = std::min(count, total - index);
        std::memset(codeLengths_ + index, value, static_cast<size_t>(stored));
        index += stored;
    }
    bitBuffer_ = bits & ((uint64_t(1) << held) - 1);
    bitCount_ = static_cast<int32_t>(held);
    lengthIndex_ = index;
    next = in;
}

} // namespace vexmar
