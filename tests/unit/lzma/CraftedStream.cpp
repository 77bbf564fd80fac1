#include "CraftedStream.h"

using namespace vexmar::lzma;

namespace {

constexpr uint32_t kTop = 1u << 24;

unsigned bitLength(uint32_t value) {
    unsigned n = 0;
    while (n < 32 && (value >> n) != 0)
        ++n;
    return n;
}

} // namespace

// The encoder keeps the low end of the interval with a carry bit above 32 bits; a byte is held
// back (with any 0xFF bytes after it) until it is known whether a carry reaches it.
void CraftedStream::shiftLow() {
    if (static_cast<uint32_t>(low_) < 0xFF000000u || (low_ >> 32) != 0) {
        const uint8_t carry = static_cast<uint8_t>(low_ >> 32);
        uint8_t held = cache_;
        do {
            out_.push_back(static_cast<uint8_t>(held + carry));
            held = 0xFF;
        } while (--cacheSize_ != 0);
        cache_ = static_cast<uint8_t>(low_ >> 24);
    }
    ++cacheSize_;
    low_ = (low_ & 0x00FFFFFF) << 8;
}

void CraftedStream::bit(Prob& p, unsigned b) {
    const uint32_t bound = (range_ >> kProbBits) * p;
    if (b == 0) {
        range_ = bound;
        p = Prob(p + (((1u << kProbBits) - p) >> 5));
    } else {
        low_ += bound;
        range_ -= bound;
        p = Prob(p - (p >> 5));
    }
    while (range_ < kTop) {
        range_ <<= 8;
        shiftLow();
    }
}

void CraftedStream::direct(uint32_t value, unsigned count) {
    while (count-- != 0) {
        range_ >>= 1;
        if ((value >> count) & 1)
            low_ += range_;
        while (range_ < kTop) {
            range_ <<= 8;
            shiftLow();
        }
    }
}

void CraftedStream::tree(Prob* probs, uint32_t value, unsigned bits) {
    uint32_t m = 1;
    while (bits-- != 0) {
        const unsigned b = (value >> bits) & 1;
        bit(probs[m], b);
        m = m << 1 | b;
    }
}

void CraftedStream::reverseTree(Prob* probs, uint32_t value, unsigned bits) {
    uint32_t m = 1;
    for (unsigned i = 0; i < bits; ++i) {
        const unsigned b = (value >> i) & 1;
        bit(probs[m], b);
        m = m << 1 | b;
    }
}

void CraftedStream::length(LengthModel& m, uint32_t length) {
    const uint32_t l = length - kMinMatchLength;
    if (l < 8) {
        bit(m.choice, 0);
        tree(m.low[0], l, 3);
    } else if (l < 16) {
        bit(m.choice, 1);
        bit(m.choice2, 0);
        tree(m.mid[0], l - 8, 3);
    } else {
        bit(m.choice, 1);
        bit(m.choice2, 1);
        tree(m.high, l - 16, 8);
    }
}

void CraftedStream::literal(uint8_t byte) {
    bit(model_.isMatch[state_][0], 0);
    tree(model_.literal, byte, 8);
    state_ = state_ < 4 ? 0 : state_ < 10 ? state_ - 3 : state_ - 6;
}

void CraftedStream::match(uint32_t distance, uint32_t length) {
    bit(model_.isMatch[state_][0], 1);
    bit(model_.isRep[state_], 0);
    this->length(model_.matchLength, length);
    const uint32_t l = length - kMinMatchLength;
    Prob* const slots = model_.distanceSlot[l < 3 ? l : 3];
    if (distance < 4) {
        tree(slots, distance, kDistanceSlotBits);
    } else {
        const unsigned top = bitLength(distance) - 1;
        const uint32_t slot = 2 * top + ((distance >> (top - 1)) & 1);
        tree(slots, slot, kDistanceSlotBits);
        const unsigned lowBits = (slot >> 1) - 1;
        const uint32_t base = (2 | (slot & 1)) << lowBits;
        const uint32_t rest = distance - base;
        if (slot < kEndModelledSlot) {
            reverseTree(model_.distanceLow + base - slot, rest, lowBits);
        } else {
            direct(rest >> kAlignBits, lowBits - kAlignBits);
            reverseTree(model_.align, rest & ((1u << kAlignBits) - 1), kAlignBits);
        }
    }
    state_ = state_ < kFirstMatchState ? 7 : 10;
}

void CraftedStream::shortRep() {
    bit(model_.isMatch[state_][0], 1);
    bit(model_.isRep[state_], 1);
    bit(model_.isRepG0[state_], 0);
    bit(model_.isRep0Long[state_][0], 0);
    state_ = state_ < kFirstMatchState ? 9 : 11;
}

std::vector<uint8_t> CraftedStream::finish() {
    for (int i = 0; i < 5; ++i)
        shiftLow();
    return out_;
}

std::vector<uint8_t> CraftedStream::properties(uint32_t dictionary) {
    return {0, static_cast<uint8_t>(dictionary), static_cast<uint8_t>(dictionary >> 8),
            static_cast<uint8_t>(dictionary >> 16), static_cast<uint8_t>(dictionary >> 24)};
}
