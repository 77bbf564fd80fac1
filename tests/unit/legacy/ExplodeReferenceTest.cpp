// The table-driven explode against a plain reading of the method: codes read one bit at a time
// and compared with every code of that length in sorted order. Random trees, well-formed or not
// (overlapping, incomplete, too many symbols), and random streams must give the same output,
// the same answer and the same errors.
#include "DecodeRun.h"

#include <gtest/gtest.h>

using namespace vexmar;

namespace {

constexpr int kEnd = -1;
constexpr int kBad = -2;

class BitByBit {
public:
    explicit BitByBit(const Bytes& data) : data_(data) {}
    uint64_t left() const { return 8 * uint64_t(data_.size()) - position_; }
    int bit() {
        const int b = (data_[position_ / 8] >> (position_ % 8)) & 1;
        ++position_;
        return b;
    }
    int bits(int n) {
        if (left() < uint64_t(n))
            return kEnd;
        int v = 0;
        for (int i = 0; i < n; ++i)
            v |= bit() << i;
        return v;
    }

private:
    const Bytes& data_;
    uint64_t position_ = 0;
};

struct ReferenceTree {
    struct Entry {
        int length;
        int value;
        uint16_t code;
    };
    std::vector<Entry> entries;

    bool read(BitByBit& in) {
        const int runs = in.bits(8);
        if (runs < 0)
            return false;
        for (int r = 0; r <= runs; ++r) {
            const int run = in.bits(8);
            if (run < 0)
                return false;
            for (int i = 0; i <= run >> 4; ++i)
                entries.push_back({(run & 15) + 1, int(entries.size()), 0});
            if (entries.size() > 256)
                return false;
        }
        std::stable_sort(entries.begin(), entries.end(),
                         [](const Entry& a, const Entry& b) { return a.length < b.length; });
        uint16_t code = 0, increment = 0;
        int last = 0;
        for (size_t i = entries.size(); i-- > 0;) {
            code = uint16_t(code + increment);
            if (entries[i].length != last) {
                last = entries[i].length;
                increment = uint16_t(1 << (16 - last));
            }
            uint16_t reversed = 0;
            for (int b = 0; b < 16; ++b)
                reversed = uint16_t(reversed | (((code >> b) & 1) << (15 - b)));
            entries[i].code = reversed;
        }
        return true;
    }

    int decode(BitByBit& in) const {
        uint32_t value = 0;
        for (int length = 1; length <= entries.back().length; ++length) {
            if (in.left() == 0)
                return kEnd;
            value |= uint32_t(in.bit()) << (length - 1);
            for (const Entry& e : entries)
                if (e.length == length && e.code == value)
                    return e.value;
        }
        return kBad;
    }
};

DecodeResult referenceExplode(const Bytes& data, const ImplodeOptions& options, size_t size) {
    DecodeResult r;
    BitByBit in(data);
    ReferenceTree literals, lengths, distances;
    const char* treeFailure = nullptr;
    if (options.literalTree && !literals.read(in))
        treeFailure = "(Implode) Loading of LitTree failed.";
    else if (!lengths.read(in))
        treeFailure = "(Implode) Loading of LengthTree failed.";
    else if (!distances.read(in))
        treeFailure = "(Implode) Loading of DistanceTree failed.";
    if (treeFailure) {
        r.errors = {"(Implode) ReadLengths failed.", treeFailure};
        return r;
    }
    const int lowBits = options.eightKDictionary ? 7 : 6;
    const int minLength = options.literalTree ? 3 : 2;
    auto fail = [&](const char* message) {
        r.errors = {message};
        return r;
    };
    while (r.output.size() < size && in.left() > 0) {
        if (in.bit()) {
            const int literal = options.literalTree ? literals.decode(in) : in.bits(8);
            if (literal == kBad)
                return fail("Failed to read shannon-fano tree (1)");
            if (literal == kEnd)
                break;
            r.output.push_back(uint8_t(literal));
            continue;
        }
        const int low = in.bits(lowBits);
        const int high = low == kEnd ? kEnd : distances.decode(in);
        if (high == kBad)
            return fail("Failed to read shannon-fano tree (2)");
        const int symbol = high == kEnd ? kEnd : lengths.decode(in);
        if (symbol == kBad)
            return fail("Failed to read shannon-fano tree (3)");
        const int extra = symbol == 63 ? in.bits(8) : 0;
        if (symbol == kEnd || extra == kEnd)
            break;
        const size_t distance = size_t((high << lowBits) | low) + 1;
        for (int i = 0; i < symbol + minLength + extra && r.output.size() < size; ++i) {
            const size_t at = r.output.size();
            r.output.push_back(at >= distance ? r.output[at - distance] : 0);
        }
    }
    r.ok = true;
    return r;
}

// Half of the trees are well formed (Huffman lengths of random counts); the others are random
// runs, mostly of short lengths so that random bits often form codes.
void randomTree(std::mt19937& random, BitWriter& out, int symbols) {
    if (random() % 2 == 0) {
        std::vector<uint32_t> counts(static_cast<size_t>(symbols));
        for (uint32_t& c : counts)
            c = 1 + random() % 1000;
        storeTree(out, codeLengths(counts));
        return;
    }
    const int runs = 1 + int(random() % 24);
    out.byte(uint8_t(runs - 1));
    int left = symbols;
    for (int r = 0; r < runs; ++r) {
        const int count = r + 1 == runs ? std::clamp(left, 1, 16) : 1 + int(random() % 16);
        const int length = random() % 4 == 0 ? int(random() % 16) : int(random() % 9);
        out.byte(uint8_t((count - 1) << 4 | length));
        left -= count;
    }
}

TEST(ExplodeReference, TableDecoderMatchesBitByBitDecoding) {
    std::mt19937 random(2024);
    int completed = 0, failed = 0;
    for (int round = 0; round < 500; ++round) {
        const ImplodeOptions options{.eightKDictionary = (round & 1) != 0,
                                     .literalTree = (round & 2) != 0};
        BitWriter stream;
        if (options.literalTree)
            randomTree(random, stream, 256);
        randomTree(random, stream, 64);
        randomTree(random, stream, 64);
        for (int n = int(random() % 300); n > 0; --n)
            stream.byte(uint8_t(random()));
        const Bytes data = stream.finish();

        const DecodeResult expected = referenceExplode(data, options, 1000);
        const DecodeResult actual = explode(data, options, 1000);
        ASSERT_EQ(actual.ok, expected.ok) << "round " << round;
        ASSERT_EQ(actual.errors, expected.errors) << "round " << round;
        ASSERT_TRUE(actual.output == expected.output) << "round " << round;
        (expected.ok ? completed : failed)++;
    }
    // Both outcomes occur often enough to mean something.
    EXPECT_GT(completed, 100);
    EXPECT_GT(failed, 100);
}

} // namespace
