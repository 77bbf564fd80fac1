// Helpers of the inflate tests: a recording log, a memory output, zlib as the reference encoder,
// sample data, a bit writer for hand-made streams, and a chunked driver of the decoder.
#pragma once

#include "codecs/inflate/InflateState.h"
#include "tests/support/RecordingLog.h"
#include "tests/support/VectorOutput.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// zlib's deflate: raw, or with the zlib wrapper.
inline Bytes zlibCompress(const Bytes& data, int level, bool wrapped = false,
                          int strategy = Z_DEFAULT_STRATEGY) {
    z_stream z{};
    deflateInit2(&z, level, Z_DEFLATED, wrapped ? 15 : -15, 8, strategy);
    Bytes out(deflateBound(&z, static_cast<uLong>(data.size())) + 16);
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

enum class Sample { kText, kRandom, kRuns, kMixed };

// Reproducible data of a kind: words with numbers, random bytes, long runs, or all of them
// in turn.
inline Bytes sampleData(Sample kind, size_t size, uint32_t seed) {
    static const char* const kWords[] = {"archive", "entry",   "the",    "window", "of",
                                         "deflate", "block",   "header", "length", "code",
                                         "stored",  "dynamic", "\n",     "and",    "<tag>"};
    std::mt19937 gen(seed);
    Bytes out;
    out.reserve(size + 64);
    while (out.size() < size) {
        Sample part = kind == Sample::kMixed ? static_cast<Sample>(gen() % 3) : kind;
        const size_t run = kind == Sample::kMixed ? 1 + gen() % 5000 : size;
        for (size_t i = 0; i < run && out.size() < size; ++i) {
            switch (part) {
            case Sample::kText: {
                const std::string word =
                    gen() % 5 == 0 ? std::to_string(gen() % 100000) : kWords[gen() % 15];
                out.insert(out.end(), word.begin(), word.end());
                out.push_back(' ');
                break;
            }
            case Sample::kRandom:
                out.push_back(static_cast<uint8_t>(gen()));
                break;
            default:
                out.insert(out.end(), 1 + gen() % 300, static_cast<uint8_t>(gen() % 4));
                break;
            }
        }
    }
    out.resize(size);
    return out;
}

// Writes a deflate bit stream: fields least significant bit first, Huffman codes most
// significant bit first.
class BitWriter {
public:
    void bits(uint32_t value, int count) {
        for (int i = 0; i < count; ++i)
            bit((value >> i) & 1);
    }
    void code(uint32_t code, int length) {
        for (int i = length - 1; i >= 0; --i)
            bit((code >> i) & 1);
    }
    void alignToByte() {
        while (used_ != 0)
            bit(0);
    }
    void byte(uint8_t value) { bits(value, 8); }
    Bytes finish() {
        alignToByte();
        return bytes_;
    }

private:
    void bit(uint32_t b) {
        if (used_ == 0)
            bytes_.push_back(0);
        bytes_.back() |= static_cast<uint8_t>(b << used_);
        used_ = (used_ + 1) & 7;
    }
    Bytes bytes_;
    int used_ = 0;
};

// A literal (length 0) or a back-reference, for the hand-made fixed-code blocks below.
struct Token {
    uint32_t length;
    uint32_t value; // the literal byte or the distance
};

inline Token literal(uint8_t byte) {
    return {0, byte};
}
inline Token match(uint32_t length, uint32_t distance) {
    return {length, distance};
}

// The fixed literal/length code of RFC 1951 3.2.6.
inline void fixedLiteralLength(BitWriter& w, int symbol) {
    if (symbol < 144)
        w.code(0x30 + symbol, 8);
    else if (symbol < 256)
        w.code(0x190 + symbol - 144, 9);
    else if (symbol < 280)
        w.code(symbol - 256, 7);
    else
        w.code(0xC0 + symbol - 280, 8);
}

// One fixed-code block of the tokens, in plain deflate or Deflate64 terms. Deflate64 lengths
// above 258 take symbol 285 with 16 extra bits, and distances above 32768 symbols 30 and 31.
inline void fixedBlock(BitWriter& w, const std::vector<Token>& tokens, bool final, bool deflate64) {
    static const uint16_t kLengthBase[] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                           15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                           67, 83, 99, 115, 131, 163, 195, 227, 258};
    static const uint8_t kLengthExtra[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                           2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    w.bits(final ? 1 : 0, 1);
    w.bits(1, 2);
    for (const Token& t : tokens) {
        if (t.length == 0) {
            fixedLiteralLength(w, static_cast<int>(t.value));
            continue;
        }
        if (deflate64 && t.length > 258) {
            fixedLiteralLength(w, 285);
            w.bits(t.length - 3, 16);
        } else {
            // In Deflate64, 285 is the long form, so 258 takes 284 with all extra bits set.
            int i = deflate64 ? 27 : 28;
            while (kLengthBase[i] > t.length)
                --i;
            fixedLiteralLength(w, 257 + i);
            w.bits(t.length - kLengthBase[i], kLengthExtra[i]);
        }
        // Distance rows: base 1-4 without extra bits, then two rows per extra bit count.
        int symbol = 0;
        uint32_t base = 1;
        int extra = 0;
        for (int s = 0; s < 32; ++s) {
            const int e = s < 4 ? 0 : s / 2 - 1;
            const uint32_t b = s < 4 ? uint32_t(s + 1) : (uint32_t(2 + (s & 1)) << e) + 1;
            if (b <= t.value) {
                symbol = s;
                base = b;
                extra = e;
            }
        }
        w.code(static_cast<uint32_t>(symbol), 5);
        w.bits(t.value - base, extra);
    }
    fixedLiteralLength(w, 256);
}

// What the tokens expand to; references before the start read zeros, as in the decoder.
inline Bytes expandTokens(const std::vector<Token>& tokens) {
    Bytes out;
    for (const Token& t : tokens) {
        if (t.length == 0) {
            out.push_back(static_cast<uint8_t>(t.value));
            continue;
        }
        for (uint32_t i = 0; i < t.length; ++i)
            out.push_back(out.size() >= t.value ? out[out.size() - t.value] : 0);
    }
    return out;
}

struct DecodeOptions {
    bool deflate64 = false;
    bool zlib = false;
    bool fastPath = true;
    // The fast loop built for any x86 processor even where the BMI2 build could run.
    bool portableFastLoop = false;
    // Chunk sizes are drawn from 1 to maxChunk; 0 passes the whole stream at once.
    uint32_t maxChunk = 0;
    uint32_t seed = 1;
    uint64_t outputCapacity = UINT64_MAX;
    uint64_t outputLimit = UINT64_MAX;
    // The output lends room for the whole limit, so that the decoder decodes into it.
    bool placed = false;
};

struct DecodeResult {
    bool ok = false;
    bool finished = false;
    Bytes output;
    // Input bytes the stream used: what was fed, less the leftover of the last chunk.
    size_t consumed = 0;
    int decodeError = 0;
    LogRecord log;
    // Hand-overs of bytes decoded in the output's room, and whether nothing was written past it.
    int placedWrites = 0;
    bool guardIntact = true;
};

// Feeds the stream to inflateBlock in chunks, as inflateSource would, until it fails, finishes
// or the input is used up.
inline DecodeResult decodeChunked(const Bytes& stream, const DecodeOptions& options = {}) {
    DecodeResult result;
    RecordingLog log;
    vexmar::InflateState state;
    state.setState(options.zlib ? vexmar::InflateState::kZlibHeader
                                : vexmar::InflateState::kBlockHeader);
    state.setDeflate64(options.deflate64);
    state.setFastPath(options.fastPath);
    state.setPortableFastLoop(options.portableFastLoop);
    state.setOutputLimit(options.outputLimit);
    VectorOutput output;
    output.capacity = options.outputCapacity;
    output.offersRoom = options.placed;
    std::mt19937 gen(options.seed);
    size_t offset = 0;
    result.ok = true;
    while (offset < stream.size() && result.ok && !state.isFinished()) {
        size_t size = stream.size() - offset;
        if (options.maxChunk != 0)
            size = std::min<size_t>(size, 1 + gen() % options.maxChunk);
        // A chunk of its own, so that reading past its end is caught (under ASan).
        const Bytes chunk(stream.begin() + offset, stream.begin() + offset + size);
        uint32_t leftover = 0;
        result.ok = state.inflateBlock(chunk.data(), static_cast<uint32_t>(size), leftover, output,
                                       nullptr, log);
        offset += size;
        result.consumed = offset - leftover;
    }
    result.finished = state.isFinished();
    result.placedWrites = output.placedWrites;
    result.guardIntact = output.guardIntact();
    result.output = std::move(output.written);
    result.log = log.record();
    result.decodeError = log.decodeError();
    return result;
}
