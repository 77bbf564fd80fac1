#include "codecs/legacy/ShannonFanoTree.h"

#include "zip/base/LogBase.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace vexmar {

namespace {

uint16_t reverse16(uint16_t v) {
    v = uint16_t(((v & 0x5555) << 1) | ((v >> 1) & 0x5555));
    v = uint16_t(((v & 0x3333) << 2) | ((v >> 2) & 0x3333));
    v = uint16_t(((v & 0x0F0F) << 4) | ((v >> 4) & 0x0F0F));
    return uint16_t((v << 8) | (v >> 8));
}

} // namespace

bool ShannonFanoTree::load(LsbBitReader& in, LogBase& log) {
    if (!readLengths(in, log))
        return false;
    sortByLength();
    assignCodes();
    return buildLookup();
}

// A count of bytes, then bytes that each give a run of symbols one bit length: the length
// minus 1 in the low 4 bits, the run minus 1 in the high 4 bits.
bool ShannonFanoTree::readLengths(LsbBitReader& in, LogBase& log) {
    count_ = 0;
    if (in.bitsLeft() >= 8) {
        const unsigned runs = in.read(8) + 1;
        bool fits = in.bitsLeft() >= 8 * uint64_t(runs);
        for (unsigned r = 0; fits && r < runs; ++r) {
            const uint32_t run = in.read(8);
            const unsigned bitLength = (run & 0x0F) + 1;
            const unsigned symbols = (run >> 4) + 1;
            fits = count_ + symbols <= kMaxSymbols;
            for (unsigned s = 0; fits && s < symbols; ++s, ++count_)
                entries_[count_] = {0, uint8_t(count_), uint8_t(bitLength)};
        }
        if (fits)
            return true;
    }
    log.logError("(Implode) ReadLengths failed.");
    return false;
}

// Ascending bit length; symbols keep their order within a length.
void ShannonFanoTree::sortByLength() {
    std::stable_sort(entries_, entries_ + count_,
                     [](const Entry& a, const Entry& b) { return a.bitLength < b.bitLength; });
}

// From the last entry (longest code) to the first, counting up in 16 bits: the codes of one
// length are consecutive, and a shorter length steps by its own larger unit. The codes are
// then reversed, since the first bit of a code is the lowest bit of the stream.
void ShannonFanoTree::assignCodes() {
    uint16_t code = 0;
    uint16_t increment = 0;
    unsigned lastBitLength = 0;
    for (unsigned i = count_; i-- > 0;) {
        code = uint16_t(code + increment);
        if (entries_[i].bitLength != lastBitLength) {
            lastBitLength = entries_[i].bitLength;
            increment = uint16_t(1u << (kMaxBitLength - lastBitLength));
        }
        entries_[i].code = reverse16(code);
    }
}

// Each code fills the slots whose low bits are the code. Entries are taken shortest first and in
// symbol order, and a slot keeps the first code that reaches it: the same symbol that reading bit
// by bit and comparing with the codes of each length in turn would give, even for the
// overlapping or incomplete codes of a malformed tree.
bool ShannonFanoTree::buildLookup() {
    maxBitLength_ = entries_[count_ - 1].bitLength;
    const uint32_t slots = uint32_t(1) << maxBitLength_;
    lookup_.reset(new (std::nothrow) uint16_t[slots]);
    if (!lookup_)
        return false;
    std::memset(lookup_.get(), 0, slots * sizeof(uint16_t));
    for (unsigned i = 0; i < count_; ++i) {
        const Entry& e = entries_[i];
        // A code with bits above its length (a malformed tree's) never equals what is read.
        // A filled first slot means a shorter or equal code already covers all of its slots.
        if ((e.code >> e.bitLength) != 0 || lookup_[e.code] != 0)
            continue;
        const uint16_t slot = uint16_t(e.bitLength << 8 | e.value);
        for (uint32_t s = e.code; s < slots; s += uint32_t(1) << e.bitLength)
            lookup_[s] = slot;
    }
    return true;
}

} // namespace vexmar
