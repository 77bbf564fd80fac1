// The deflate decoder (RFC 1951, with the zlib wrapper of RFC 1950 and Deflate64): a resumable
// state machine fed one input chunk at a time, writing through an Output. One object decodes
// one stream.
#pragma once

#include "codecs/inflate/HuffDecodeTable.h"
#include "codecs/inflate/InflateError.h"
#include "codecs/inflate/InflateTables.h"
#include "codecs/inflate/InflateWindow.h"

#include <cstdint>

namespace vexmar {

class DataSource;
class LogBase;
class Output;
class ProgressMonitor;

class InflateState {
public:
    enum State : int32_t {
        kZlibHeader = 0,
        kBlockHeader = 1,
        kDynamicHeader = 2,
        kCodeLengthCodeLengths = 3,
        kCodeLengths = 4,
        kRepeat = 5,
        kLiteralLength = 6,
        kLengthExtra = 7,
        kDistance = 8,
        kDistanceExtra = 9,
        kStoredLength = 10,
        kStoredCheck = 11,
        kStoredBytes = 12,
        kZlibTrailer = 13,
    };

    static constexpr int32_t kWindowSize = 32768;
    static constexpr int32_t kDeflate64WindowSize = 65536;
    static constexpr uint32_t kDefaultChunkSize = 32768;

    InflateState();
    virtual ~InflateState();
    InflateState(const InflateState&) = delete;
    InflateState& operator=(const InflateState&) = delete;

    // Before the first chunk: where decoding starts (kZlibHeader or kBlockHeader), and the
    // Deflate64 flavour (64 KB window, its own length and distance rows).
    void setState(State state) { state_ = state; }
    void setDeflate64(bool on);
    // Makes output beyond this many bytes a failure rather than writing it.
    void setOutputLimit(uint64_t maxBytes) { window_.setOutputLimit(maxBytes); }
    // Off: every symbol goes through the careful state machine (for comparing the two).
    void setFastPath(bool on) { fastPath_ = on; }
    // On: the fast loop built for any x86 processor, even where the one that uses the BMI2
    // instructions could run (for testing both).
    void setPortableFastLoop(bool on) { portableFastLoop_ = on; }
    // Whether the processor runs the BMI2 build of the fast loop.
    static bool processorHasBmi2();

    // Decodes the whole source in chunks of `chunkSize` bytes (0: the default). True also when
    // the source ends before the stream does; isFinished() tells the two apart.
    bool inflateSource(DataSource& source, uint32_t chunkSize, Output& output,
                       ProgressMonitor* monitor, LogBase& log);
    // Consumes one input chunk. When the stream ends inside it, leftoverOut is the count of its
    // bytes past the end of the stream; otherwise 0. Every chunk of a stream goes to the same
    // output: with a known output limit, the decoder may decode in that output's own room.
    bool inflateBlock(const uint8_t* data, uint32_t length, uint32_t& leftoverOut, Output& output,
                      ProgressMonitor* monitor, LogBase& log);

    bool isFinished() const { return finished_ != 0; }
    bool isZlibWrapped() const { return zlibWrapped_ != 0; }
    uint32_t receivedAdler() const { return receivedAdler_; }

private:
    enum class Step { kDone, kNeedInput, kFailed };
    using Sink = InflateWindow::Sink;

    Step decodeChunk(const uint8_t*& next, const uint8_t* end, const Sink& sink);
    Step step(const uint8_t*& next, const uint8_t* end, const Sink& sink);
    Step blockHeader(LogBase& log);
    Step codeLength(LogBase& log);
    Step literalLength(const Sink& sink);
    Step distance(LogBase& log);
    Step storedBytes(const uint8_t*& next, const uint8_t* end, const Sink& sink);
    void buildDynamicTables();
    // Decodes symbols while the input and the window's room suffice for any of them, with the
    // build of the loop that suits the processor. Both builds compile the same fastLoop(), once
    // per flavour: plain deflate's lengths need neither a refill of their own nor a room check.
    // The loop is always inlined, so that each build's instructions reach it.
    void decodeFast(const uint8_t*& next, const uint8_t* end);
    void decodeFastPortable(const uint8_t*& next, const uint8_t* end);
    void decodeFastBmi2(const uint8_t*& next, const uint8_t* end);
    template <bool kDeflate64>
    __attribute__((always_inline)) inline void fastLoop(const uint8_t*& next, const uint8_t* end);
    // Decodes symbols near the end of the chunk or of the window's room, each checked for its
    // bits and its room.
    void decodeTail(const uint8_t*& next, const uint8_t* end);
    // Reads code lengths while the input suffices for any of them.
    void decodeCodeLengthsFast(const uint8_t*& next, const uint8_t* end);

    Step failDecode(InflateError error, LogBase& log);
    uint32_t takeBits(int count) {
        const uint32_t value = static_cast<uint32_t>(bitBuffer_ & ((uint64_t(1) << count) - 1));
        bitBuffer_ >>= count;
        bitCount_ -= count;
        return value;
    }
    void dropToByteBoundary() { takeBits(bitCount_ & 7); }

    // The tables in use: the shared fixed ones or the owned ones of a dynamic block. Both the
    // fast loop and the careful steps decode with them.
    const HuffDecodeTable* literalLengthTable_ = nullptr;
    const HuffDecodeTable* distanceTable_ = nullptr;

    uint8_t zlibWrapped_ = 0;
    uint32_t receivedAdler_ = 0;
    uint8_t lastBlock_ = 0;
    uint8_t finished_ = 0;
    int32_t windowSize_ = kWindowSize;
    int32_t state_ = kZlibHeader;
    uint32_t codeEntry_ = 0;         // the table entry of the length or distance just decoded
    int32_t literalLengthCount_ = 0; // HLIT
    int32_t distanceCount_ = 0;      // HDIST
    int32_t codeLengthCount_ = 0;    // HCLEN
    int32_t lengthIndex_ = 0;
    int32_t repeatExtraBits_ = 0;
    int32_t repeatBase_ = 0;
    int32_t matchLength_ = 0;
    int32_t repeatValue_ = 0;
    int32_t storedRemaining_ = 0; // LEN
    uint8_t codeLengthCodeLengths_[deflate_format::kCodeLengthCodes] = {};
    uint8_t codeLengths_[320] = {};
    // Bits enter above the valid ones and leave from bit 0. Holds up to 63 bits, so that the
    // fast loop can hand back what it has loaded.
    uint64_t bitBuffer_ = 0;
    int32_t bitCount_ = 0;
    InflateWindow window_;

    uint8_t deflate64_ = 0;
    const deflate_format::FixedTables& fixed_;
    bool fastPath_ = true;
    bool portableFastLoop_ = false;
    // Kept from block to block, so that a stream allocates no tables.
    DecodeTableFor<HuffDecodeTable::Alphabet::kCodeLength> codeLengthTable_;
    DecodeTableFor<HuffDecodeTable::Alphabet::kLiteralLength> dynamicLiteralLength_;
    DecodeTableFor<HuffDecodeTable::Alphabet::kDistance> dynamicDistance_;
};

} // namespace vexmar
