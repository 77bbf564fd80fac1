#include "LegacyEncoders.h"

#include <algorithm>
#include <map>
#include <queue>
#include <unordered_map>

Bytes bytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

void BitWriter::bits(uint32_t value, int count) {
    pending_ |= uint64_t(value & ((uint64_t(1) << count) - 1)) << count_;
    count_ += count;
    while (count_ >= 8) {
        bytes_.push_back(uint8_t(pending_));
        pending_ >>= 8;
        count_ -= 8;
    }
}

void BitWriter::codeFromTop(uint32_t code, int length) {
    for (int bit = length - 1; bit >= 0; --bit)
        bits((code >> bit) & 1, 1);
}

Bytes BitWriter::finish() {
    if (count_ > 0)
        bits(0, 8 - count_);
    return bytes_;
}

// --- shrink ---

namespace {

constexpr uint32_t kCodes = 8192;
constexpr uint32_t kControl = 256;
constexpr uint32_t kFree = kCodes;

class ShrinkEncoder {
public:
    ShrinkEncoder(const ShrinkOptions& options, ShrinkStats& stats)
        : options_(options), stats_(stats), prefix_(kCodes, kFree), last_(kCodes) {
        for (uint32_t c = 0; c < 256; ++c) {
            prefix_[c] = kControl;
            last_[c] = uint8_t(c);
        }
    }

    Bytes run(const Bytes& data) {
        if (data.empty())
            return {};
        uint32_t current = data[0];
        for (size_t i = 1; i < data.size(); ++i) {
            const uint8_t next = data[i];
            const auto child = children_.find(key(current, next));
            if (child != children_.end()) {
                current = child->second;
                continue;
            }
            emit(current);
            if ((options_.clearAfter && addedSinceClear_ == options_.clearAfter) ||
                nextFree() == kCodes)
                partialClear();
            const uint32_t code = nextFree();
            if (code < kCodes) {
                prefix_[code] = current;
                last_[code] = next;
                children_[key(current, next)] = code;
                searchFrom_ = code + 1;
                justAdded_ = code;
                ++addedSinceClear_;
            }
            current = next;
        }
        emit(current);
        return out_.finish();
    }

private:
    static uint32_t key(uint32_t prefix, uint8_t last) { return prefix << 8 | last; }

    uint32_t nextFree() {
        while (searchFrom_ < kCodes && prefix_[searchFrom_] != kFree)
            ++searchFrom_;
        return searchFrom_;
    }

    void emit(uint32_t code) {
        while (code >= (1u << size_)) {
            out_.bits(kControl, size_);
            out_.bits(1, size_);
            ++size_;
            ++stats_.codeSizeSteps;
        }
        out_.bits(code, size_);
        if (code == justAdded_)
            ++stats_.notYetAddedCodes;
        justAdded_ = kFree;
    }

    // Keeps the codes that other codes extend, frees the rest.
    void partialClear() {
        out_.bits(kControl, size_);
        out_.bits(2, size_);
        std::vector<bool> extended(kCodes + 1);
        for (uint32_t c = kControl + 1; c < kCodes; ++c)
            extended[prefix_[c]] = true;
        children_.clear();
        for (uint32_t c = kControl + 1; c < kCodes; ++c) {
            if (!extended[c])
                prefix_[c] = kFree;
            else if (prefix_[c] != kFree)
                children_[key(prefix_[c], last_[c])] = c;
        }
        searchFrom_ = kControl + 1;
        addedSinceClear_ = 0;
        ++stats_.partialClears;
    }

    const ShrinkOptions& options_;
    ShrinkStats& stats_;
    std::vector<uint32_t> prefix_;
    std::vector<uint8_t> last_;
    std::unordered_map<uint32_t, uint32_t> children_;
    BitWriter out_;
    int size_ = 9;
    uint32_t searchFrom_ = kControl + 1;
    uint32_t addedSinceClear_ = 0;
    uint32_t justAdded_ = kFree;
};

} // namespace

Bytes shrink(const Bytes& data, const ShrinkOptions& options, ShrinkStats* stats) {
    ShrinkStats ignored;
    ShrinkEncoder encoder(options, stats ? *stats : ignored);
    return encoder.run(data);
}

// --- implode ---

namespace {

unsigned lowDistanceBits(const ImplodeOptions& options) {
    return options.eightKDictionary ? 7 : 6;
}

} // namespace

// Counts are halved until the longest code fits.
std::vector<int> codeLengths(std::vector<uint32_t> counts) {
    for (;;) {
        const size_t n = counts.size();
        std::vector<size_t> parent(2 * n);
        using Node = std::pair<uint64_t, size_t>;
        std::priority_queue<Node, std::vector<Node>, std::greater<Node>> queue;
        for (size_t i = 0; i < n; ++i)
            queue.push({counts[i], i});
        size_t next = n;
        while (queue.size() > 1) {
            const Node a = queue.top();
            queue.pop();
            const Node b = queue.top();
            queue.pop();
            parent[a.second] = parent[b.second] = next;
            queue.push({a.first + b.first, next++});
        }
        const size_t root = next - 1;
        std::vector<int> lengths(n);
        int longest = 0;
        for (size_t i = 0; i < n; ++i) {
            for (size_t node = i; node != root; node = parent[node])
                ++lengths[i];
            longest = std::max(longest, lengths[i]);
        }
        if (longest <= 16)
            return lengths;
        for (uint32_t& c : counts)
            c = (c + 1) / 2;
    }
}

namespace {

// The implode codes are the canonical (deflate-style) codes with every bit inverted.
std::vector<uint32_t> implodeCodes(const std::vector<int>& lengths) {
    int count[17] = {};
    for (int l : lengths)
        ++count[l];
    uint32_t next[17] = {};
    for (int l = 1, code = 0; l <= 16; ++l) {
        code = (code + count[l - 1]) << 1;
        next[l] = uint32_t(code);
    }
    std::vector<uint32_t> codes(lengths.size());
    for (size_t s = 0; s < lengths.size(); ++s)
        codes[s] = ((1u << lengths[s]) - 1) - next[lengths[s]]++;
    return codes;
}

struct Tree {
    std::vector<int> lengths;
    std::vector<uint32_t> codes;

    explicit Tree(const std::vector<uint32_t>& counts)
        : lengths(codeLengths(counts)), codes(implodeCodes(lengths)) {}

    void write(BitWriter& out, uint32_t symbol) const {
        out.codeFromTop(codes[symbol], lengths[symbol]);
    }
};

} // namespace

void storeTree(BitWriter& out, const std::vector<int>& lengths) {
    std::vector<uint8_t> runs;
    for (size_t s = 0; s < lengths.size();) {
        size_t run = 1;
        while (run < 16 && s + run < lengths.size() && lengths[s + run] == lengths[s])
            ++run;
        runs.push_back(uint8_t((run - 1) << 4 | (lengths[s] - 1)));
        s += run;
    }
    out.byte(uint8_t(runs.size() - 1));
    for (uint8_t r : runs)
        out.byte(r);
}

uint32_t minMatchLength(const ImplodeOptions& options) {
    return options.literalTree ? 3 : 2;
}

uint32_t maxMatchLength(const ImplodeOptions& options) {
    return minMatchLength(options) + 63 + 255;
}

std::vector<ImplodeToken> findMatches(const Bytes& data, const ImplodeOptions& options) {
    const uint32_t window = options.eightKDictionary ? 8192 : 4096;
    const uint32_t minLength = minMatchLength(options);
    const uint32_t maxLength = maxMatchLength(options);
    std::map<uint32_t, std::vector<uint32_t>> chains; // two-byte key -> positions
    auto insert = [&](uint32_t at) {
        if (at + 1 < data.size())
            chains[uint32_t(data[at]) << 8 | data[at + 1]].push_back(at);
    };
    std::vector<ImplodeToken> tokens;
    for (uint32_t at = 0; at < data.size();) {
        uint32_t bestLength = 0, bestDistance = 0;
        if (at + 1 < data.size()) {
            const auto& chain = chains[uint32_t(data[at]) << 8 | data[at + 1]];
            int tries = 64;
            for (auto it = chain.rbegin(); it != chain.rend() && at - *it <= window && tries-- > 0;
                 ++it) {
                uint32_t length = 0;
                while (length < maxLength && at + length < data.size() &&
                       data[*it + length] == data[at + length])
                    ++length;
                if (length > bestLength) {
                    bestLength = length;
                    bestDistance = at - *it;
                }
            }
        }
        if (bestLength >= minLength) {
            tokens.push_back({bestDistance, bestLength});
        } else {
            tokens.push_back({0, data[at]});
            bestLength = 1;
        }
        for (uint32_t i = 0; i < bestLength; ++i)
            insert(at + i);
        at += bestLength;
    }
    return tokens;
}

Bytes implodeTokens(const std::vector<ImplodeToken>& tokens, const ImplodeOptions& options) {
    const unsigned lowBits = lowDistanceBits(options);
    const uint32_t minLength = minMatchLength(options);
    // Every symbol gets a code, so that every tree is complete.
    std::vector<uint32_t> literalCounts(256, 1), lengthCounts(64, 1), distanceCounts(64, 1);
    for (const ImplodeToken& t : tokens) {
        if (t.distance == 0) {
            ++literalCounts[t.length];
        } else {
            ++distanceCounts[(t.distance - 1) >> lowBits];
            ++lengthCounts[std::min<uint32_t>(t.length - minLength, 63)];
        }
    }
    const Tree literals(literalCounts), lengths(lengthCounts), distances(distanceCounts);

    BitWriter out;
    if (options.literalTree)
        storeTree(out, literals.lengths);
    storeTree(out, lengths.lengths);
    storeTree(out, distances.lengths);
    for (const ImplodeToken& t : tokens) {
        if (t.distance == 0) {
            out.bits(1, 1);
            if (options.literalTree)
                literals.write(out, t.length);
            else
                out.byte(uint8_t(t.length));
            continue;
        }
        out.bits(0, 1);
        out.bits(t.distance - 1, int(lowBits));
        distances.write(out, (t.distance - 1) >> lowBits);
        const uint32_t symbol = std::min<uint32_t>(t.length - minLength, 63);
        lengths.write(out, symbol);
        if (symbol == 63)
            out.byte(uint8_t(t.length - minLength - 63));
    }
    return out.finish();
}
