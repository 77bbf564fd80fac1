// Encoders written for the tests: shrink (LZW with code-size steps and partial clears) and
// implode (a greedy match finder, trees from the symbol counts), plus the bit writer both use
// and that hand-made streams use directly.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

Bytes bytesOf(const std::string& text);

// Bits least significant first, as the old ZIP methods store them.
class BitWriter {
public:
    void bits(uint32_t value, int count);
    // A code written from its top bit down: the order a Shannon-Fano code is read in.
    void codeFromTop(uint32_t code, int length);
    void byte(uint8_t b) { bits(b, 8); }
    // The bytes, the last one padded with zero bits.
    Bytes finish();

private:
    Bytes bytes_;
    uint64_t pending_ = 0;
    int count_ = 0;
};

struct ShrinkOptions {
    // A partial clear after this many codes were added since the last one (0: only when the
    // table is full).
    uint32_t clearAfter = 0;
};

struct ShrinkStats {
    int partialClears = 0;
    int codeSizeSteps = 0;
    int notYetAddedCodes = 0; // codes sent right after being added (the KwKwK case)
};

Bytes shrink(const Bytes& data, const ShrinkOptions& options = {}, ShrinkStats* stats = nullptr);

struct ImplodeToken {
    uint32_t distance; // 0 for a literal
    uint32_t length;   // the literal itself when distance is 0
};

struct ImplodeOptions {
    bool eightKDictionary = false;
    bool literalTree = false;
};

uint32_t minMatchLength(const ImplodeOptions& options);
uint32_t maxMatchLength(const ImplodeOptions& options);
// Huffman code lengths for the counts (each at least 1), none above 16 bits.
std::vector<int> codeLengths(std::vector<uint32_t> counts);
// A tree as it is stored: the number of runs less 1, then runs of one bit length, at most 16
// symbols each (run less 1 in the high 4 bits, length less 1 in the low 4 bits).
void storeTree(BitWriter& out, const std::vector<int>& lengths);

// A greedy parse: at each position the longest match in the dictionary, or a literal.
std::vector<ImplodeToken> findMatches(const Bytes& data, const ImplodeOptions& options);
// The trees (built from the tokens' symbol counts) and the token stream.
Bytes implodeTokens(const std::vector<ImplodeToken>& tokens, const ImplodeOptions& options);
