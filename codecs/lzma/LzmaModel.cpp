#include "codecs/lzma/LzmaModel.h"

#include <algorithm>

namespace vexmar::lzma {

namespace {

// Any array of probabilities, of one dimension or two.
template <class Array> void startAll(Array& probs) {
    std::fill_n(reinterpret_cast<Prob*>(&probs), sizeof probs / sizeof(Prob), kProbInit);
}

void startAll(LengthModel& length) {
    length.choice = kProbInit;
    length.choice2 = kProbInit;
    startAll(length.low);
    startAll(length.mid);
    startAll(length.high);
}

} // namespace

void Model::reset(unsigned literalContextBits) {
    startAll(isMatch);
    startAll(isRep);
    startAll(isRepG0);
    startAll(isRepG1);
    startAll(isRepG2);
    startAll(isRep0Long);
    startAll(distanceSlot);
    startAll(distanceLow);
    startAll(align);
    startAll(matchLength);
    startAll(repLength);
    std::fill_n(literal, kLiteralCoderSize << literalContextBits, kProbInit);
}

} // namespace vexmar::lzma
