#include "codecs/lzma/LzmaDecoder.h"

namespace vexmar::lzma {

namespace {

// The distance the end marker codes (all 32 bits set).
constexpr uint32_t kEndMarkerDistance = 0xFFFFFFFF;

unsigned afterLiteral(unsigned state) {
    return state < 4 ? 0 : state < 10 ? state - 3 : state - 6;
}
unsigned afterMatch(unsigned state) {
    return state < kFirstMatchState ? 7 : 10;
}
unsigned afterRep(unsigned state) {
    return state < kFirstMatchState ? 8 : 11;
}
unsigned afterShortRep(unsigned state) {
    return state < kFirstMatchState ? 9 : 11;
}

// A match length less the minimum of 2.
uint32_t decodeLength(RangeDecoder& rc, LengthModel& m, unsigned posState) {
    if (rc.bit(m.choice) == 0)
        return rc.tree(m.low[posState], 3);
    if (rc.bit(m.choice2) == 0)
        return 8 + rc.tree(m.mid[posState], 3);
    return 16 + rc.tree(m.high, 8);
}

// A match distance less 1, coded by the length's class (2, 3, 4, or more).
uint32_t decodeDistance(RangeDecoder& rc, Model& m, uint32_t length) {
    const uint32_t slot = rc.tree(m.distanceSlot[length < 3 ? length : 3], kDistanceSlotBits);
    if (slot < 4)
        return slot;
    const unsigned lowBits = (slot >> 1) - 1;
    const uint32_t distance = (2 | (slot & 1)) << lowBits;
    if (slot < kEndModelledSlot)
        return distance + rc.reverseTree(m.distanceLow + distance - slot, lowBits);
    const uint32_t middle = rc.directBits(lowBits - kAlignBits) << kAlignBits;
    return distance + middle + rc.reverseTree(m.align, kAlignBits);
}

// Copies up to `length` bytes from `distance` back to `pos`, stopping at `limit`; the bytes
// left over. Source and destination may overlap: a byte just copied can be copied again.
uint32_t copyMatch(Window& w, size_t& pos, size_t limit, uint32_t distance, uint32_t length) {
    const size_t room = limit - pos;
    size_t n = length < room ? length : room;
    const uint32_t left = length - static_cast<uint32_t>(n);
    size_t from = w.back(pos, distance);
    while (n != 0) {
        const size_t untilWrap = w.size - from;
        const size_t piece = n < untilWrap ? n : untilWrap;
        uint8_t* to = w.bytes + pos;
        const uint8_t* src = w.bytes + from;
        for (size_t i = 0; i < piece; ++i)
            to[i] = src[i];
        pos += piece;
        n -= piece;
        from = 0;
    }
    return left;
}

} // namespace

Decoder::Decoder(const Properties& p)
    : lc_(p.lc), lpMask_((1u << p.lp) - 1), pbMask_((1u << p.pb) - 1) {
    model_.reset(p.lc + p.lp);
}

bool Decoder::start(const uint8_t*& in) {
    const bool ok = rc_.start(in);
    in += 5;
    return ok;
}

Status Decoder::run(Window& w, size_t outLimit, const uint8_t*& in, const uint8_t* safeEnd) {
    RangeDecoder rc = rc_;
    rc.in = in;
    Model& m = model_;
    uint8_t* const bytes = w.bytes;
    size_t pos = w.pos;
    const uint64_t base = w.total - pos;
    unsigned state = state_;
    uint32_t rep0 = reps_[0], rep1 = reps_[1], rep2 = reps_[2], rep3 = reps_[3];
    Status status = Status::kRunning;

    if (pending_ != 0)
        pending_ = copyMatch(w, pos, outLimit, rep0, pending_);
    while (pos < outLimit && rc.in <= safeEnd) {
        const uint64_t decoded = base + pos;
        const unsigned posState = static_cast<unsigned>(decoded) & pbMask_;
        if (rc.bit(m.isMatch[state][posState]) == 0) {
            const unsigned previous = decoded == 0 ? 0 : bytes[pos != 0 ? pos - 1 : w.size - 1];
            // The coder is chosen by the low bits of the position and the high bits of the
            // byte before.
            const unsigned coder =
                ((static_cast<unsigned>(decoded) & lpMask_) << lc_) | previous >> (8 - lc_);
            Prob* const probs = m.literal + kLiteralCoderSize * coder;
            unsigned symbol = 1;
            if (state >= kFirstMatchState) {
                // After a match the byte at the last distance predicts this one, bit by bit,
                // until the first bit that differs.
                unsigned matchByte = bytes[w.back(pos, rep0)];
                do {
                    const unsigned matchBit = (matchByte >> 7) & 1;
                    matchByte <<= 1;
                    const unsigned b = rc.bit(probs[((1 + matchBit) << 8) | symbol]);
                    symbol = symbol << 1 | b;
                    if (b != matchBit)
                        break;
                } while (symbol < 0x100);
            }
            while (symbol < 0x100)
                symbol = symbol << 1 | rc.bit(probs[symbol]);
            bytes[pos++] = static_cast<uint8_t>(symbol);
            state = afterLiteral(state);
            continue;
        }

        uint32_t length;
        if (rc.bit(m.isRep[state]) == 0) {
            length = decodeLength(rc, m.matchLength, posState);
            const uint32_t distance = decodeDistance(rc, m, length);
            if (distance == kEndMarkerDistance) {
                status = rc.finishedCleanly() ? Status::kEndMarker : Status::kCorrupt;
                break;
            }
            if (!w.reaches(distance, decoded)) {
                status = Status::kCorrupt;
                break;
            }
            rep3 = rep2;
            rep2 = rep1;
            rep1 = rep0;
            rep0 = distance;
            state = afterMatch(state);
        } else {
            // The repeated distances reached when they were decoded, but at the start there
            // is nothing to repeat.
            if (decoded == 0) {
                status = Status::kCorrupt;
                break;
            }
            if (rc.bit(m.isRepG0[state]) == 0) {
                if (rc.bit(m.isRep0Long[state][posState]) == 0) {
                    bytes[pos] = bytes[w.back(pos, rep0)];
                    ++pos;
                    state = afterShortRep(state);
                    continue;
                }
            } else {
                uint32_t distance;
                if (rc.bit(m.isRepG1[state]) == 0) {
                    distance = rep1;
                } else {
                    if (rc.bit(m.isRepG2[state]) == 0) {
                        distance = rep2;
                    } else {
                        distance = rep3;
                        rep3 = rep2;
                    }
                    rep2 = rep1;
                }
                rep1 = rep0;
                rep0 = distance;
            }
            length = decodeLength(rc, m.repLength, posState);
            state = afterRep(state);
        }
        pending_ = copyMatch(w, pos, outLimit, rep0, length + kMinMatchLength);
    }

    in = rc.in;
    rc_ = rc;
    w.pos = pos;
    w.total = base + pos;
    state_ = state;
    reps_[0] = rep0;
    reps_[1] = rep1;
    reps_[2] = rep2;
    reps_[3] = rep3;
    return status;
}

Status Decoder::endMarker(const Window& w, const uint8_t*& in) {
    RangeDecoder rc = rc_;
    rc.in = in;
    const unsigned posState = static_cast<unsigned>(w.total) & pbMask_;
    Status status = Status::kCorrupt;
    if (rc.bit(model_.isMatch[state_][posState]) == 1 && rc.bit(model_.isRep[state_]) == 0) {
        const uint32_t length = decodeLength(rc, model_.matchLength, posState);
        if (decodeDistance(rc, model_, length) == kEndMarkerDistance && rc.finishedCleanly())
            status = Status::kEndMarker;
    }
    in = rc.in;
    rc_ = rc;
    return status;
}

} // namespace vexmar::lzma
