// Streams no real encoder writes, symbol by symbol: a small LZMA1 range encoder over the
// decoder's own model layout, with lc = lp = pb = 0. It checks nothing, so that it can code
// matches the decoder must refuse.
#pragma once

#include "codecs/lzma/LzmaModel.h"

#include <cstdint>
#include <vector>

class CraftedStream {
public:
    CraftedStream() { model_.reset(0); }

    // Only while the last symbol was a literal (no match byte is involved).
    void literal(uint8_t byte);
    // `distance` 0 is the byte just written.
    void match(uint32_t distance, uint32_t length);
    // One byte from the last distance.
    void shortRep();
    void endMarker() { match(0xFFFFFFFF, 2); }

    // The stream so far, flushed; the stream is finished by it.
    std::vector<uint8_t> finish();
    // Properties for lc = lp = pb = 0 and the dictionary.
    static std::vector<uint8_t> properties(uint32_t dictionary);

private:
    void bit(vexmar::lzma::Prob& p, unsigned b);
    void direct(uint32_t value, unsigned count);
    void tree(vexmar::lzma::Prob* probs, uint32_t value, unsigned bits);
    void reverseTree(vexmar::lzma::Prob* probs, uint32_t value, unsigned bits);
    void length(vexmar::lzma::LengthModel& m, uint32_t length);
    void shiftLow();

    vexmar::lzma::Model model_;
    unsigned state_ = 0;
    uint64_t low_ = 0;
    uint32_t range_ = 0xFFFFFFFF;
    uint8_t cache_ = 0;
    uint64_t cacheSize_ = 1;
    std::vector<uint8_t> out_;
};
