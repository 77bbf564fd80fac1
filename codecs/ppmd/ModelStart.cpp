// The empty model: an order-0 context holding all 256 symbols once, and the initial
// probabilities of binary contexts and SEE classes.
#include "codecs/ppmd/Model.h"

#include <algorithm>

namespace vexmar {

namespace ppmd {

void Model::start(unsigned maxOrder, RestoreMethod method) {
    maxOrder_ = maxOrder;
    restoreMethod_ = method;
    restart();
}

void Model::restart() {
    memory.reset();
    orderFall = maxOrder_;
    runLength = initRunLength_ = -static_cast<int32_t>(std::min(maxOrder_, 12u)) - 1;
    prevSuccess = 0;

    memory.hiUnit -= kUnitSize;
    auto* root = reinterpret_cast<Context*>(memory.hiUnit);
    auto* states = reinterpret_cast<State*>(memory.loUnit);
    memory.loUnit += 256 / 2 * kUnitSize;
    minContext = maxContext = root;
    foundState = states;
    root->numStats = 255;
    root->flags = 0;
    root->summFreq = 256 + 1;
    root->stats = memory.ref(states);
    root->suffix = 0;
    for (unsigned i = 0; i < 256; ++i) {
        states[i].symbol = static_cast<uint8_t>(i);
        states[i].freq = 1;
        states[i].setSuccessor(0);
    }

    // Binary contexts: by count class (row) and by column within each group of eight.
    for (unsigned row = 0, count = 0; row < 25; ++row) {
        while (kCountClass[count] == row)
            ++count;
        for (unsigned k = 0; k < 8; ++k) {
            const auto prob = static_cast<uint16_t>(kBinScale - kInitBinEsc[k] / (count + 1));
            for (unsigned group = 0; group < 64; group += 8)
                binSumm_[row][k + group] = prob;
        }
    }

    for (unsigned row = 0, count = 0; row < 24; ++row) {
        while (kCountClass[count + 3] == row + 3)
            ++count;
        const See initial{static_cast<uint16_t>((2 * count + 5) << (kPeriodBits - 4)),
                          static_cast<uint8_t>(kPeriodBits - 4), 7};
        std::fill(std::begin(see_[row]), std::end(see_[row]), initial);
    }
    // The root's SEE class: it never adapts.
    dummySee_ = See{0, static_cast<uint8_t>(kPeriodBits), 64};
}

} // namespace ppmd

} // namespace vexmar
