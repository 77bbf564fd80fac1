// The adaptive probabilities of an LZMA1 stream, all starting at one half: which kind of symbol
// comes next (by state and position), the literal coders, the two length coders (matches and
// repeats) and the distance coders.
#pragma once

#include "codecs/lzma/RangeDecoder.h"

#include <cstdint>

namespace vexmar::lzma {

constexpr unsigned kStates = 12;
// Below this state the last symbol was a literal.
constexpr unsigned kFirstMatchState = 7;
constexpr unsigned kMaxPosStates = 1u << 4;
constexpr unsigned kLiteralCoderSize = 0x300;
constexpr unsigned kMaxLiteralContextBits = 4;
constexpr unsigned kDistanceSlotBits = 6;
// Distance slots below this code their low bits with models, the rest with direct bits and
// the 4 align bits.
constexpr unsigned kEndModelledSlot = 14;
constexpr unsigned kAlignBits = 4;
constexpr uint32_t kMinMatchLength = 2;

struct LengthModel {
    Prob choice;  // 0: lengths 0-7 from `low`
    Prob choice2; // 0: lengths 8-15 from `mid`, 1: 16-271 from `high`
    Prob low[kMaxPosStates][1 << 3];
    Prob mid[kMaxPosStates][1 << 3];
    Prob high[1 << 8];
};

struct Model {
    Prob isMatch[kStates][kMaxPosStates];
    Prob isRep[kStates];
    Prob isRepG0[kStates];
    Prob isRepG1[kStates];
    Prob isRepG2[kStates];
    Prob isRep0Long[kStates][kMaxPosStates];
    Prob distanceSlot[4][1 << kDistanceSlotBits];
    // Reverse trees of the modelled slots, packed one after another as each slot needs.
    Prob distanceLow[1 + 128 - kEndModelledSlot];
    Prob align[1 << kAlignBits];
    LengthModel matchLength;
    LengthModel repLength;
    Prob literal[kLiteralCoderSize << kMaxLiteralContextBits];

    // Every probability back to one half; of the literal coders only the first
    // 2^literalContextBits are used.
    void reset(unsigned literalContextBits);
};

} // namespace vexmar::lzma
