// The back-reference copy: a forward copy whose source may overlap its destination, so that a
// distance below the length repeats bytes. Done a word at a time; it may write up to
// kMatchCopyOverrun bytes past the end of the copy, which the window leaves room for.
#pragma once

#include <cstdint>
#include <cstring>

namespace vexmar {

constexpr uint32_t kMatchCopyOverrun = 32;
// The widest case: two unconditional 16-byte pieces for a match of one byte.
constexpr uint32_t kMatchCopyPiece = 16;
static_assert(kMatchCopyOverrun >= 2 * kMatchCopyPiece - 1, "copyMatch writes past the window");
static_assert(kMatchCopyPiece >= 2 * sizeof(uint64_t), "a piece is two of the word copies");

inline uint64_t loadWord(const uint8_t* p) {
    uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// The next 8 bytes of a deflate stream as one word, the first byte lowest.
inline uint64_t loadLittleEndian64(const uint8_t* p) {
    const uint64_t word = loadWord(p);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    return __builtin_bswap64(word);
#else
    return word;
#endif
}

inline void storeWord(uint8_t* p, uint64_t word) {
    std::memcpy(p, &word, sizeof word);
}

// Stores the word with its lowest byte first.
inline void storeLittleEndian64(uint8_t* p, uint64_t word) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    word = __builtin_bswap64(word);
#endif
    storeWord(p, word);
}

// Copies `length` (at least 1) bytes to `out` from `distance` (at least 1) bytes before it.
inline void copyMatch(uint8_t* out, uint32_t distance, uint32_t length) {
    const uint8_t* from = out - distance;
    uint8_t* const end = out + length;
    if (distance >= kMatchCopyPiece) {
        // Most matches are short: two unconditional pieces cover them without a loop branch.
        std::memcpy(out, from, kMatchCopyPiece);
        std::memcpy(out + kMatchCopyPiece, from + kMatchCopyPiece, kMatchCopyPiece);
        if (length > 2 * kMatchCopyPiece) {
            out += 2 * kMatchCopyPiece;
            from += 2 * kMatchCopyPiece;
            do {
                std::memcpy(out, from, kMatchCopyPiece);
                out += kMatchCopyPiece;
                from += kMatchCopyPiece;
            } while (out < end);
        }
    } else if (distance >= 8) {
        storeWord(out, loadWord(from));
        storeWord(out + 8, loadWord(from + 8));
        out += 16;
        from += 16;
        while (out < end) {
            storeWord(out, loadWord(from));
            out += 8;
            from += 8;
        }
    } else if (distance == 1) {
        const uint64_t repeated = 0x0101010101010101ull * *from;
        storeWord(out, repeated);
        storeWord(out + 8, repeated);
        out += 16;
        while (out < end) {
            storeWord(out, repeated);
            out += 8;
        }
    } else {
        // The `distance` bytes of the pattern, repeated in a register across the word; each
        // store then steps by the whole repeats it holds, and no load waits for a store before.
        uint64_t pattern = loadLittleEndian64(from) & ((uint64_t(1) << (8 * distance)) - 1);
        for (uint32_t filled = distance; filled < 8; filled *= 2)
            pattern |= pattern << (8 * filled);
        const uint32_t stride = 8 - 8 % distance;
        do {
            storeLittleEndian64(out, pattern);
            out += stride;
        } while (out < end);
    }
}

} // namespace vexmar
