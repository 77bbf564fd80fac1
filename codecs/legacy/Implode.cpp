#include "codecs/legacy/Implode.h"

#include "codecs/legacy/BoundedSink.h"
#include "zip/base/LogBase.h"

namespace vexmar {

namespace {

constexpr int kEndOfInput = ShannonFanoTree::kEndOfInput;
constexpr int kBadCode = ShannonFanoTree::kBadCode;
// A length symbol of 63 is followed by 8 raw bits that add to the length.
constexpr int kLongLengthSymbol = 63;

bool loadTree(ShannonFanoTree& tree, LsbBitReader& in, LogBase& log, const char* failure) {
    if (tree.load(in, log))
        return true;
    log.logError(failure);
    return false;
}

int rawByte(LsbBitReader& in) {
    return in.bitsLeft() < 8 ? kEndOfInput : int(in.read(8));
}

bool badCode(LogBase& log, const char* message) {
    log.logError(message);
    return false;
}

} // namespace

bool Implode::decode(bool eightKDictionary, bool literalTree, uint64_t expectedSize, LogBase& log,
                     DataBuffer& out) {
    LsbBitReader in(input_, inputLength_);
    if (literalTree && !loadTree(literals_, in, log, "(Implode) Loading of LitTree failed."))
        return false;
    if (!loadTree(lengths_, in, log, "(Implode) Loading of LengthTree failed.") ||
        !loadTree(distances_, in, log, "(Implode) Loading of DistanceTree failed."))
        return false;

    const unsigned lowDistanceBits = eightKDictionary ? 7 : 6;
    const uint32_t minMatchLength = literalTree ? 3 : 2;
    BoundedSink sink(out, expectedSize);
    while (!sink.full() && in.bitsLeft() > 0) {
        if (in.read(1)) {
            const int literal = literalTree ? literals_.decode(in) : rawByte(in);
            if (literal == kBadCode)
                return badCode(log, "Failed to read shannon-fano tree (1)");
            if (literal == kEndOfInput)
                break;
            if (!sink.put(uint8_t(literal), log))
                return false;
            continue;
        }

        if (in.bitsLeft() < lowDistanceBits)
            break;
        const uint32_t low = in.read(lowDistanceBits);
        const int high = distances_.decode(in);
        if (high == kBadCode)
            return badCode(log, "Failed to read shannon-fano tree (2)");
        const int lengthSymbol = high == kEndOfInput ? kEndOfInput : lengths_.decode(in);
        if (lengthSymbol == kBadCode)
            return badCode(log, "Failed to read shannon-fano tree (3)");
        const int extra = lengthSymbol == kLongLengthSymbol ? rawByte(in) : 0;
        if (lengthSymbol == kEndOfInput || extra == kEndOfInput)
            break;
        const uint32_t distance = ((uint32_t(high) << lowDistanceBits) | low) + 1;
        const uint32_t length = uint32_t(lengthSymbol) + minMatchLength + uint32_t(extra);
        if (!sink.copyMatch(distance, length, log))
            return false;
    }
    sink.noteEnd(log);
    return true;
}

} // namespace vexmar
