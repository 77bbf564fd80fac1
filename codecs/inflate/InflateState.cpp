// The careful decoder: one step of the state machine at a time, each step taking only the bits
// it needs, so that decoding can stop at any bit of a chunk and resume with the next chunk.
#include "codecs/inflate/InflateState.h"

#include "zip/base/LogBase.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace vexmar {

namespace {

// Before each step the bit buffer is refilled to this many bits, when input remains. Every step
// but the stored bytes and the zlib trailer (which read input themselves) needs no more, so a
// step short of bits means the chunk is used up.
constexpr int kRefillBits = 24;

} // namespace

InflateState::InflateState() : fixed_(deflate_format::fixedTables()) {}

InflateState::~InflateState() = default;

void InflateState::setDeflate64(bool on) {
    deflate64_ = on ? 1 : 0;
    windowSize_ = on ? kDeflate64WindowSize : kWindowSize;
}

bool InflateState::inflateBlock(const uint8_t* data, uint32_t length, uint32_t& leftoverOut,
                                Output& output, ProgressMonitor* monitor, LogBase& log) {
    leftoverOut = 0;
    if (finished_) {
        leftoverOut = length;
        return true;
    }
    if (!window_.isAllocated() && !window_.allocate(static_cast<uint32_t>(windowSize_), output))
        return false;

    const Sink sink{&output, monitor, &log};
    const uint8_t* next = data;
    const uint8_t* const end = data + length;
    if (decodeChunk(next, end, sink) == Step::kFailed)
        return false;
    if (!window_.flush(sink)) {
        log.logError("Failed to flush to output.");
        return false;
    }
    if (finished_)
        leftoverOut = static_cast<uint32_t>(end - next) + static_cast<uint32_t>(bitCount_ / 8);
    return true;
}

InflateState::Step InflateState::decodeChunk(const uint8_t*& next, const uint8_t* end,
                                             const Sink& sink) {
    while (!finished_) {
        if (state_ == kLiteralLength && fastPath_) {
            decodeFast(next, end);
            if (state_ == kLiteralLength)
                decodeTail(next, end);
        } else if (state_ == kCodeLengths && fastPath_)
            decodeCodeLengthsFast(next, end);
        if (state_ != kStoredBytes)
            while (bitCount_ < kRefillBits && next < end) {
                bitBuffer_ |= uint64_t(*next++) << bitCount_;
                bitCount_ += 8;
            }
        const Step result = step(next, end, sink);
        if (result != Step::kDone)
            return result;
    }
    return Step::kDone;
}

InflateState::Step InflateState::step(const uint8_t*& next, const uint8_t* end, const Sink& sink) {
    LogBase& log = *sink.log;
    switch (state_) {
    case kZlibHeader: {
        zlibWrapped_ = 1;
        if (bitCount_ < 16)
            return Step::kNeedInput;
        const uint32_t cmf = takeBits(8);
        const uint32_t flg = takeBits(8);
        const bool valid = (cmf & 0x0F) == 8 && (cmf >> 4) <= 7 && (flg & 0x20) == 0 &&
                           (cmf * 256 + flg) % 31 == 0;
        if (!valid)
            return failDecode(InflateError::kZlibHeader, log);
        state_ = kBlockHeader;
        return Step::kDone;
    }
    case kBlockHeader:
        return blockHeader(log);
    case kDynamicHeader:
        if (bitCount_ < 14)
            return Step::kNeedInput;
        literalLengthCount_ = static_cast<int32_t>(takeBits(5)) + 257;
        distanceCount_ = static_cast<int32_t>(takeBits(5)) + 1;
        codeLengthCount_ = static_cast<int32_t>(takeBits(4)) + 4;
        std::memset(codeLengthCodeLengths_, 0, sizeof codeLengthCodeLengths_);
        lengthIndex_ = 0;
        state_ = kCodeLengthCodeLengths;
        return Step::kDone;
    case kCodeLengthCodeLengths:
        if (lengthIndex_ < codeLengthCount_) {
            if (bitCount_ < 3)
                return Step::kNeedInput;
            codeLengthCodeLengths_[deflate_format::kCodeLengthOrder[lengthIndex_++]] =
                static_cast<uint8_t>(takeBits(3));
            return Step::kDone;
        }
        codeLengthTable_.build(codeLengthCodeLengths_, deflate_format::kCodeLengthCodes);
        lengthIndex_ = 0;
        state_ = kCodeLengths;
        return Step::kDone;
    case kCodeLengths:
        return codeLength(log);
    case kRepeat: {
        if (bitCount_ < repeatExtraBits_)
            return Step::kNeedInput;
        int32_t count = repeatBase_ + static_cast<int32_t>(takeBits(repeatExtraBits_));
        const int32_t total = literalLengthCount_ + distanceCount_;
        for (; count > 0 && lengthIndex_ < total; --count)
            codeLengths_[lengthIndex_++] = static_cast<uint8_t>(repeatValue_);
        state_ = kCodeLengths;
        return Step::kDone;
    }
    case kLiteralLength:
        return literalLength(sink);
    case kLengthExtra: {
        const int extraBits = static_cast<int>(entryBits(codeEntry_) - entryCodeBits(codeEntry_));
        if (bitCount_ < extraBits)
            return Step::kNeedInput;
        matchLength_ = static_cast<int32_t>((codeEntry_ >> 16) + takeBits(extraBits));
        state_ = kDistance;
        return Step::kDone;
    }
    case kDistance:
        return distance(log);
    case kDistanceExtra: {
        const int extraBits = static_cast<int>(entryBits(codeEntry_) - entryCodeBits(codeEntry_));
        if (bitCount_ < extraBits)
            return Step::kNeedInput;
        const uint32_t distance = (codeEntry_ >> 16) + takeBits(extraBits);
        state_ = kLiteralLength;
        if (!window_.copyMatch(distance, static_cast<uint32_t>(matchLength_), sink))
            return failDecode(InflateError::kMatchCopy, log);
        return Step::kDone;
    }
    case kStoredLength:
        if (bitCount_ < 16)
            return Step::kNeedInput;
        storedRemaining_ = static_cast<int32_t>(takeBits(16));
        state_ = kStoredCheck;
        return Step::kDone;
    case kStoredCheck:
        if (bitCount_ < 16)
            return Step::kNeedInput;
        if ((takeBits(16) ^ 0xFFFF) != static_cast<uint32_t>(storedRemaining_))
            return failDecode(InflateError::kStoredLength, log);
        state_ = storedRemaining_ != 0 ? kStoredBytes : kBlockHeader;
        return Step::kDone;
    case kStoredBytes:
        return storedBytes(next, end, sink);
    case kZlibTrailer:
        dropToByteBoundary();
        while (bitCount_ < 32 && next < end) {
            bitBuffer_ |= uint64_t(*next++) << bitCount_;
            bitCount_ += 8;
        }
        if (bitCount_ < 32)
            return Step::kNeedInput;
        // The Adler-32 comes most significant byte first.
        receivedAdler_ = __builtin_bswap32(takeBits(32));
        finished_ = 1;
        return Step::kDone;
    }
    return Step::kFailed;
}

InflateState::Step InflateState::blockHeader(LogBase& log) {
    if (lastBlock_) {
        if (zlibWrapped_)
            state_ = kZlibTrailer;
        else
            finished_ = 1;
        return Step::kDone;
    }
    if (bitCount_ < 3)
        return Step::kNeedInput;
    lastBlock_ = static_cast<uint8_t>(takeBits(1));
    switch (takeBits(2)) {
    case 0:
        dropToByteBoundary();
        state_ = kStoredLength;
        break;
    case 1:
        literalLengthTable_ = fixed_.literalLength[deflate64_];
        distanceTable_ = fixed_.distance[deflate64_];
        state_ = kLiteralLength;
        break;
    case 2:
        state_ = kDynamicHeader;
        break;
    default:
        // Type 3 is reserved: no encoder writes it, so the data is damaged.
        return failDecode(InflateError::kReservedBlockType, log);
    }
    return Step::kDone;
}

InflateState::Step InflateState::codeLength(LogBase& log) {
    const int32_t total = literalLengthCount_ + distanceCount_;
    if (lengthIndex_ == total) {
        buildDynamicTables();
        state_ = kLiteralLength;
        return Step::kDone;
    }
    uint32_t entry = 0;
    const int used = codeLengthTable_.decode(bitBuffer_, bitCount_, entry);
    if (used == HuffDecodeTable::kNeedMoreBits)
        return Step::kNeedInput;
    if (entry & HuffDecodeTable::kSlow)
        return failDecode(InflateError::kCodeLengthCode, log);
    takeBits(used);
    const int symbol = static_cast<int>(entry >> 16);
    switch (symbol) {
    case 16:
        repeatValue_ = lengthIndex_ > 0 ? codeLengths_[lengthIndex_ - 1] : 0;
        repeatExtraBits_ = 2;
        repeatBase_ = 3;
        break;
    case 17:
        repeatValue_ = 0;
        repeatExtraBits_ = 3;
        repeatBase_ = 3;
        break;
    case 18:
        repeatValue_ = 0;
        repeatExtraBits_ = 7;
        repeatBase_ = 11;
        break;
    default:
        codeLengths_[lengthIndex_++] = static_cast<uint8_t>(symbol);
        return Step::kDone;
    }
    state_ = kRepeat;
    return Step::kDone;
}

void InflateState::buildDynamicTables() {
    dynamicLiteralLength_.build(codeLengths_, literalLengthCount_, deflate64_);
    dynamicDistance_.build(codeLengths_ + literalLengthCount_, distanceCount_, deflate64_);
    literalLengthTable_ = &dynamicLiteralLength_;
    distanceTable_ = &dynamicDistance_;
}

InflateState::Step InflateState::literalLength(const Sink& sink) {
    uint32_t entry = 0;
    const int used = literalLengthTable_->decode(bitBuffer_, bitCount_, entry);
    if (used == HuffDecodeTable::kNeedMoreBits)
        return Step::kNeedInput;
    // Slow entries are the end of block and codes without a symbol or without a row (286 and
    // 287, which the fixed code has but no encoder sends).
    if ((entry & (HuffDecodeTable::kSlow | HuffDecodeTable::kEndOfBlock)) == HuffDecodeTable::kSlow)
        return failDecode(InflateError::kLiteralLengthCode, *sink.log);
    takeBits(used);
    if (entry & HuffDecodeTable::kLiteral) {
        if (!window_.put(static_cast<uint8_t>(entry >> 16), sink))
            return failDecode(InflateError::kLiteralWrite, *sink.log);
    } else if (entry & HuffDecodeTable::kEndOfBlock) {
        state_ = kBlockHeader;
    } else {
        codeEntry_ = entry;
        state_ = kLengthExtra;
    }
    return Step::kDone;
}

InflateState::Step InflateState::distance(LogBase& log) {
    uint32_t entry = 0;
    const int used = distanceTable_->decode(bitBuffer_, bitCount_, entry);
    if (used == HuffDecodeTable::kNeedMoreBits)
        return Step::kNeedInput;
    // Slow entries are codes without a symbol, and symbols 30 and 31 outside Deflate64.
    if (entry & HuffDecodeTable::kSlow)
        return failDecode(InflateError::kDistanceCode, log);
    takeBits(used);
    codeEntry_ = entry;
    state_ = kDistanceExtra;
    return Step::kDone;
}

InflateState::Step InflateState::storedBytes(const uint8_t*& next, const uint8_t* end,
                                             const Sink& sink) {
    // A stored block starts on a byte boundary, so the bit buffer holds whole bytes, which come
    // first; the rest is copied straight from the input.
    while (storedRemaining_ > 0 && bitCount_ >= 8) {
        if (!window_.put(static_cast<uint8_t>(takeBits(8)), sink))
            return failDecode(InflateError::kStoredWrite, *sink.log);
        --storedRemaining_;
    }
    const uint32_t count =
        std::min(static_cast<uint32_t>(storedRemaining_), static_cast<uint32_t>(end - next));
    if (!window_.putBytes(next, count, sink))
        return failDecode(InflateError::kStoredWrite, *sink.log);
    next += count;
    storedRemaining_ -= static_cast<int32_t>(count);
    if (storedRemaining_ > 0)
        return Step::kNeedInput;
    state_ = kBlockHeader;
    return Step::kDone;
}

InflateState::Step InflateState::failDecode(InflateError error, LogBase& log) {
    log.logDataInt("decodeErrNum", static_cast<int>(error));
    log.logError("inflate decode error.");
    return Step::kFailed;
}

} // namespace vexmar
