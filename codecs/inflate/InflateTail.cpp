// The end of a chunk or of the room, where the fast loop's margins no longer hold: symbols are
// still decoded in one loop, but each one checks that its bits are held and that its bytes fit,
// and the bit buffer is refilled a byte at a time. Whatever does not pass (bits that are still
// to come, the end of block, invalid codes, a match that would fill the area) is left
// unconsumed at a symbol boundary for the careful steps, which go on as if they had decoded
// everything before.
#include "codecs/inflate/InflateState.h"

#include "codecs/inflate/MatchCopy.h"

namespace vexmar {

namespace {

constexpr uint64_t lowBits(uint32_t count) {
    return (uint64_t(1) << count) - 1;
}

// The bits a code takes with its extra bits, given what the table's decode() returned.
inline uint32_t withExtraBits(int codeBits, uint32_t entry) {
    return static_cast<uint32_t>(codeBits) + entryBits(entry) - entryCodeBits(entry);
}

// The value of a length or distance code with its extra bits; `bits` start at the code.
inline uint32_t valueWithExtra(int codeBits, uint32_t entry, uint64_t bits) {
    const uint32_t extra = entryBits(entry) - entryCodeBits(entry);
    return (entry >> 16) + static_cast<uint32_t>((bits >> codeBits) & lowBits(extra));
}

} // namespace

void InflateState::decodeTail(const uint8_t*& next, const uint8_t* end) {
    const uint8_t* in = next;
    uint64_t bits = bitBuffer_;
    uint32_t held = static_cast<uint32_t>(bitCount_);
    uint8_t* out = window_.cursor();
    uint8_t* const areaEnd = window_.areaEnd();
    // Word copies write up to kMatchCopyOverrun bytes past a match; near the room's end the
    // window copies byte by byte.
    uint8_t* const wordCopyEnd = window_.roomEnd() - kMatchCopyOverrun;
    const uint8_t* const floor = window_.floor();
    constexpr uint32_t kStop = HuffDecodeTable::kSlow;

    for (;;) {
        // A literal/length code, its extra bits, a distance code and its extra bits take at most
        // 15 + 16 + 15 + 14 bits (Deflate64's longest), within the 56 held after a refill.
        while (held <= 55 && in < end) {
            bits |= uint64_t(*in++) << held;
            held += 8;
        }
        uint32_t entry = 0;
        const int used = literalLengthTable_->decode(bits, static_cast<int>(held), entry);
        // The last byte of the area is left to the careful steps, which hand a full area over.
        if (used == HuffDecodeTable::kNeedMoreBits || (entry & kStop) || areaEnd - out < 2)
            break;
        if (entry & HuffDecodeTable::kLiteral) {
            *out++ = static_cast<uint8_t>(entry >> 16);
            bits >>= used;
            held -= static_cast<uint32_t>(used);
            continue;
        }
        const uint32_t lengthBits = withExtraBits(used, entry);
        if (lengthBits > held)
            break;
        const uint32_t length = valueWithExtra(used, entry, bits);
        const uint64_t afterLength = bits >> lengthBits;
        uint32_t distanceEntry = 0;
        const int distanceUsed = distanceTable_->decode(
            afterLength, static_cast<int>(held - lengthBits), distanceEntry);
        if (distanceUsed == HuffDecodeTable::kNeedMoreBits || (distanceEntry & kStop))
            break;
        const uint32_t distanceBits = withExtraBits(distanceUsed, distanceEntry);
        if (lengthBits + distanceBits > held || length >= static_cast<uint32_t>(areaEnd - out))
            break;
        const uint32_t distance = valueWithExtra(distanceUsed, distanceEntry, afterLength);
        bits = afterLength >> distanceBits;
        held -= lengthBits + distanceBits;
        if (distance > static_cast<uint32_t>(out - floor) || out + length > wordCopyEnd) {
            window_.setCursor(out);
            window_.copyReachingBack(distance, length);
        } else {
            copyMatch(out, distance, length);
        }
        out += length;
    }

    bitBuffer_ = bits;
    bitCount_ = static_cast<int32_t>(held);
    next = in;
    window_.setCursor(out);
}

} // namespace vexmar
