// The fast loop. While the chunk holds enough input and the window's area enough room that no
// literal/length and distance pair can run short of either, symbols are decoded here without
// the state machine: a 64-bit bit buffer refilled a word at a time, one table lookup per code
// with the extra bits taken in the same step, and matches copied a word at a time.
//
// It decodes exactly what the careful steps would. Whatever it does not handle (end of block,
// invalid codes, symbols without a row, a match longer than the room left) it leaves unconsumed
// at a symbol boundary, or, once a length is decoded, in the distance state.
#include "codecs/inflate/InflateState.h"

#include "codecs/inflate/MatchCopy.h"

namespace {

// At most two word refills per round after its check, each reading 8 bytes and moving on by at
// most 7.
constexpr ptrdiff_t kInputMargin = 16;
// Room for three literals or the longest deflate match, so that the length check below only
// triggers for long Deflate64 matches.
constexpr ptrdiff_t kOutputMargin = 258 + 3;

inline uint64_t loadLittleEndian64(const uint8_t* p) {
    const uint64_t word = loadWord(p);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    return __builtin_bswap64(word);
#else
    return word;
#endif
}

// The bits above `held` either are zero or repeat the stream's next bits, so OR-ing the next
// word in at `held` is exact. Afterwards 56 to 63 bits are held, and all 64 bits of the buffer
// are the stream's: a lookup may use the low bits of the buffer before the refill that makes
// them count as held, as long as fewer than 64 minus the table's index width bits were
// consumed since the last refill.
inline void refill(uint64_t& bits, uint32_t& held, const uint8_t*& in) {
    bits |= loadLittleEndian64(in) << held;
    in += (63 - held) >> 3;
    held |= 56;
}

inline void consume(uint64_t& bits, uint32_t& held, uint32_t count) {
    bits >>= count;
    held -= count;
}

} // namespace

void InflateState::decodeFast(const uint8_t*& next, const uint8_t* end) {
    uint8_t* out = window_.cursor();
    uint8_t* const areaEnd = window_.areaEnd();
    uint8_t* floor = window_.floor();
    if (end - next < kInputMargin || areaEnd - out < kOutputMargin)
        return;
    const uint8_t* const inLimit = end - kInputMargin;
    uint8_t* const outLimit = areaEnd - kOutputMargin;
    const uint32_t* const literalTable = literalLengthTable_->entries();
    const uint32_t literalMask = literalLengthTable_->rootMask();
    const uint32_t* const distanceTable = distanceTable_->entries();
    const uint32_t distanceMask = distanceTable_->rootMask();

    const uint8_t* in = next;
    uint64_t bits = bitBuffer_;
    uint32_t held = static_cast<uint32_t>(bitCount_);
    // Each round starts with the bit buffer refilled and the next literal/length entry looked
    // up; a round that ends with a match looks up the next entry before the copy, so that the
    // lookup is under way while the copy's branches resolve.
    refill(bits, held, in);
    uint32_t entry = literalTable[bits & literalMask];
    while (in <= inLimit && out <= outLimit) {
        // Up to three literals per refill: a root-level code takes at most 11 bits.
        if (entry & HuffDecodeTable::kLiteral) {
            consume(bits, held, entryBits(entry));
            const uint32_t second = literalTable[bits & literalMask];
            *out++ = static_cast<uint8_t>(entry >> 16);
            entry = second;
            if (entry & HuffDecodeTable::kLiteral) {
                consume(bits, held, entryBits(entry));
                const uint32_t third = literalTable[bits & literalMask];
                *out++ = static_cast<uint8_t>(entry >> 16);
                entry = third;
                if (third & HuffDecodeTable::kLiteral) {
                    consume(bits, held, entryBits(third));
                    entry = literalTable[bits & literalMask];
                    refill(bits, held, in);
                    *out++ = static_cast<uint8_t>(third >> 16);
                    continue;
                }
            }
        }
        // At least 34 bits are left: enough for any literal/length code with its extra bits.
        if (entry & (HuffDecodeTable::kLink | HuffDecodeTable::kSlow)) {
            if (entry & HuffDecodeTable::kSlow)
                break;
            const uint32_t rootBits = entryBits(entry);
            const uint32_t subMask = (uint32_t(1) << ((entry >> 8) & 0xF)) - 1;
            const uint32_t sub = literalTable[(entry >> 16) + ((bits >> rootBits) & subMask)];
            if (sub & HuffDecodeTable::kSlow)
                break;
            consume(bits, held, rootBits);
            entry = sub;
            if (sub & HuffDecodeTable::kLiteral) {
                consume(bits, held, entryBits(sub));
                entry = literalTable[bits & literalMask];
                refill(bits, held, in);
                *out++ = static_cast<uint8_t>(sub >> 16);
                continue;
            }
        }
        uint64_t codeStart = bits;
        consume(bits, held, entryBits(entry));
        const uint32_t length = entryValue(entry, codeStart);
        if (length > static_cast<uint32_t>(areaEnd - out)) {
            matchLength_ = static_cast<int32_t>(length);
            state_ = kDistance;
            break;
        }

        entry = distanceTable[bits & distanceMask];
        refill(bits, held, in);
        if (entry & (HuffDecodeTable::kLink | HuffDecodeTable::kSlow)) {
            uint32_t sub = HuffDecodeTable::kSlow;
            if (entry & HuffDecodeTable::kLink) {
                const uint32_t rootBits = entryBits(entry);
                const uint32_t subMask = (uint32_t(1) << ((entry >> 8) & 0xF)) - 1;
                sub = distanceTable[(entry >> 16) + ((bits >> rootBits) & subMask)];
                if (!(sub & HuffDecodeTable::kSlow))
                    consume(bits, held, rootBits);
            }
            if (sub & HuffDecodeTable::kSlow) {
                matchLength_ = static_cast<int32_t>(length);
                state_ = kDistance;
                break;
            }
            entry = sub;
        }
        codeStart = bits;
        consume(bits, held, entryBits(entry));
        const uint32_t distance = entryValue(entry, codeStart);
        entry = literalTable[bits & literalMask];
        refill(bits, held, in);
        if (distance > static_cast<uint32_t>(out - floor)) [[unlikely]] {
            window_.zeroHistory();
            floor = window_.floor();
        }
        copyMatch(out, distance, length);
        out += length;
    }

    bitBuffer_ = bits & ((uint64_t(1) << held) - 1);
    bitCount_ = static_cast<int32_t>(held);
    next = in;
    window_.setCursor(out);
}
