// The fast loop. While the chunk holds enough input and the window's area enough room that no
// literal/length and distance pair can run short of either, symbols are decoded here without
// the state machine: a 64-bit bit buffer refilled a word at a time, one table lookup per code
// with the extra bits taken in the same step, the next lookup started before the current match
// is copied, and matches copied a word at a time.
//
// It decodes exactly what the careful steps would. Whatever it does not handle (end of block,
// invalid codes, symbols without a row, a match longer than the room left) it leaves unconsumed
// at a symbol boundary, or, once a length is decoded, in the distance state.
//
// The loop is compiled twice: for any x86 processor, and with the BMI2 instructions (shifts by
// a register without the count in CL, and masks of the low bits in one instruction), chosen
// once by what the processor reports.
#include "codecs/inflate/InflateState.h"

#include "codecs/inflate/MatchCopy.h"
#include "zip/base/CpuFeatures.h"

namespace vexmar {

#if defined(__x86_64__) || defined(__i386__)
#define VEXMAR_INFLATE_BMI2 1
#endif

namespace {

// The input a round may read after its check: one word refill of 8 bytes in plain deflate; in
// Deflate64 two, the first moving on by at most 7. The less it is, the less of each stream's
// end is left to the careful steps.
template <bool kDeflate64> constexpr ptrdiff_t kInputMargin = kDeflate64 ? 16 : 8;
// Room for three literals or the longest deflate match: plain deflate's matches always fit, and
// only Deflate64's longer ones are checked against the room left.
constexpr ptrdiff_t kOutputMargin = 258 + 3;
static_assert(kOutputMargin >= deflate_format::kMaxDeflateMatch + 3,
              "a round writes three literals or one match");

// The count of bits held lives in the low 6 bits of `held`; the bits above are left as they
// fall. Consuming subtracts a whole table entry, whose low byte is the bit count (at most 31,
// so bits 6 and 7 are clear): the low 6 bits stay exact, and no instruction goes to isolating
// the count. Shifts by `held` or by an entry take the count modulo 64, which the processor does
// anyway.
//
// The bits above the held ones either are zero or repeat the stream's next bits, so OR-ing the
// next word in at `held` is exact. Afterwards 56 to 63 bits are held, and all 64 bits of the
// buffer are the stream's: a lookup may use the low bits of the buffer before the refill that
// makes them count as held, as long as fewer than 64 minus the table's index width bits were
// consumed since the last refill.
inline __attribute__((always_inline)) void refill(uint64_t& bits, uint32_t& held,
                                                  const uint8_t*& in) {
    bits |= loadLittleEndian64(in) << (held & 63);
    in += 7 - ((held >> 3) & 7);
    held |= 56;
}

inline __attribute__((always_inline)) void consume(uint64_t& bits, uint32_t& held,
                                                   uint32_t entry) {
    bits >>= entry & 63;
    held -= entry;
}

// The value of a length or distance entry with its extra bits added; `before` is the bit buffer
// as it stood before the entry's code. Such entries have no flags, so the code bits (bits 8-11)
// shift alone.
inline __attribute__((always_inline)) uint32_t matchValue(uint32_t entry, uint64_t before) {
    const uint64_t withExtra = before & ((uint64_t(1) << (entry & 0xFF)) - 1);
    return (entry >> 16) + static_cast<uint32_t>(withExtra >> ((entry >> 8) & 63));
}

// The index of a link's sub-table entry for the bits after the root's.
inline __attribute__((always_inline)) uint32_t subTableIndex(uint32_t link, uint64_t bits) {
    const uint32_t subMask = (uint32_t(1) << ((link >> 8) & 0xF)) - 1;
    return (link >> 16) + (static_cast<uint32_t>(bits >> (link & 63)) & subMask);
}

} // namespace

bool InflateState::processorHasBmi2() {
#if VEXMAR_INFLATE_BMI2
    return vexmar::cpuFeatures().bmi2;
#else
    return false;
#endif
}

void InflateState::decodeFast(const uint8_t*& next, const uint8_t* end) {
    static const bool bmi2 = processorHasBmi2();
    if (bmi2 && !portableFastLoop_)
        decodeFastBmi2(next, end);
    else
        decodeFastPortable(next, end);
}

void InflateState::decodeFastPortable(const uint8_t*& next, const uint8_t* end) {
    if (deflate64_)
        fastLoop<true>(next, end);
    else
        fastLoop<false>(next, end);
}

#if VEXMAR_INFLATE_BMI2
__attribute__((target("bmi,bmi2")))
#endif
void InflateState::decodeFastBmi2(const uint8_t*& next, const uint8_t* end) {
    if (deflate64_)
        fastLoop<true>(next, end);
    else
        fastLoop<false>(next, end);
}

template <bool kDeflate64>
inline __attribute__((always_inline)) void InflateState::fastLoop(const uint8_t*& next,
                                                                   const uint8_t* end) {
    uint8_t* out = window_.cursor();
    // Word copies may write up to roomEnd, which is at least kMatchCopyOverrun past the area's
    // end in a window of its own and the area's end in the output's room.
    uint8_t* const copyEnd = window_.roomEnd() - kMatchCopyOverrun;
    uint8_t* const floor = window_.floor();
    if (end - next < kInputMargin<kDeflate64> || copyEnd - out < kOutputMargin)
        return;
    const uint8_t* const inLimit = end - kInputMargin<kDeflate64>;
    uint8_t* const outLimit = copyEnd - kOutputMargin;
    const uint32_t* const literalTable = literalLengthTable_->entries();
    constexpr uint32_t literalMask =
        HuffDecodeTable::fullRootSize(HuffDecodeTable::Alphabet::kLiteralLength) - 1;
    const uint32_t* const distanceTable = distanceTable_->entries();
    constexpr uint32_t distanceMask =
        HuffDecodeTable::fullRootSize(HuffDecodeTable::Alphabet::kDistance) - 1;
    constexpr uint32_t kLiteral = HuffDecodeTable::kLiteral;
    constexpr uint32_t kLinkOrSlow = HuffDecodeTable::kLink | HuffDecodeTable::kSlow;

    const uint8_t* in = next;
    uint64_t bits = bitBuffer_;
    uint32_t held = static_cast<uint32_t>(bitCount_);
    // Each round starts with the bit buffer refilled and the next literal/length entry looked
    // up. A round decodes up to three literals, or one match: 56 bits suffice for any deflate
    // length and distance with their extra bits, so a match needs no refill of its own (but in
    // Deflate64, whose lengths take up to 16 extra bits). A match looks up the next entry before
    // its copy, so that the lookup is under way while the copy's branches resolve.
    refill(bits, held, in);
    uint32_t entry = literalTable[bits & literalMask];
    while (in <= inLimit && out <= outLimit) {
        // A root-level code takes at most 11 bits, so three literals and the next lookup fit.
        if (entry & kLiteral) [[likely]] {
            consume(bits, held, entry);
            const uint32_t second = literalTable[bits & literalMask];
            *out++ = static_cast<uint8_t>(entry >> 16);
            entry = second;
            if (entry & kLiteral) [[likely]] {
                consume(bits, held, entry);
                const uint32_t third = literalTable[bits & literalMask];
                *out++ = static_cast<uint8_t>(entry >> 16);
                entry = third;
                if (third & kLiteral) {
                    consume(bits, held, third);
                    entry = literalTable[bits & literalMask];
                    *out++ = static_cast<uint8_t>(third >> 16);
                }
            }
            refill(bits, held, in);
            continue;
        }
        if (entry & kLinkOrSlow) [[unlikely]] {
            if (entry & HuffDecodeTable::kSlow)
                break;
            const uint32_t sub = literalTable[subTableIndex(entry, bits)];
            if (sub & HuffDecodeTable::kSlow)
                break;
            consume(bits, held, entry);
            entry = sub;
            if (sub & kLiteral) {
                consume(bits, held, sub);
                entry = literalTable[bits & literalMask];
                refill(bits, held, in);
                *out++ = static_cast<uint8_t>(sub >> 16);
                continue;
            }
        }
        uint64_t codeStart = bits;
        consume(bits, held, entry);
        const uint32_t length = matchValue(entry, codeStart);
        // A match must not fill the area to its end: only the careful steps hand a full area
        // over, and the next literal would land past it.
        if (kDeflate64 && length >= static_cast<uint32_t>(copyEnd - out)) {
            matchLength_ = static_cast<int32_t>(length);
            state_ = kDistance;
            break;
        }

        entry = distanceTable[bits & distanceMask];
        if (kDeflate64)
            refill(bits, held, in);
        if (entry & kLinkOrSlow) [[unlikely]] {
            uint32_t sub = HuffDecodeTable::kSlow;
            if (entry & HuffDecodeTable::kLink) {
                sub = distanceTable[subTableIndex(entry, bits)];
                if (!(sub & HuffDecodeTable::kSlow))
                    consume(bits, held, entry);
            }
            if (sub & HuffDecodeTable::kSlow) {
                matchLength_ = static_cast<int32_t>(length);
                state_ = kDistance;
                break;
            }
            entry = sub;
        }
        codeStart = bits;
        consume(bits, held, entry);
        const uint32_t distance = matchValue(entry, codeStart);
        entry = literalTable[bits & literalMask];
        refill(bits, held, in);
        if (distance > static_cast<uint32_t>(out - floor)) [[unlikely]] {
            window_.setCursor(out);
            window_.copyReachingBack(distance, length);
        } else {
            copyMatch(out, distance, length);
        }
        out += length;
    }

    held &= 63;
    bitBuffer_ = bits & ((uint64_t(1) << held) - 1);
    bitCount_ = static_cast<int32_t>(held);
    next = in;
    window_.setCursor(out);
}

} // namespace vexmar
