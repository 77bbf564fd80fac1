// The PPMd variant I (revision 1) model: a tree of contexts up to the maximum order, each with
// its symbol counts, secondary escape estimation (SEE) for contexts with masked symbols, and
// adaptive probabilities for contexts with one symbol. When the sub-allocator runs out, the
// model starts afresh (restart) or prunes itself (cut-off), as the encoder did at the same
// symbol.
#pragma once

#include "codecs/ppmd/ModelTables.h"
#include "codecs/ppmd/ModelUnits.h"
#include "codecs/ppmd/SubAllocator.h"

#include <cstdint>

namespace vexmar {

namespace ppmd {

enum RestoreMethod : unsigned { kRestart = 0, kCutOff = 1 };

class Model {
public:
    // Starts an empty model in the sub-allocator's block, which must be allocated.
    void start(unsigned maxOrder, RestoreMethod method);

    Context* context(uint32_t ref) const { return memory.at<Context>(ref); }
    State* statsOf(const Context* c) const { return memory.at<State>(c->stats); }
    Context* suffixOf(const Context* c) const { return context(c->suffix); }

    // The probability of minContext's one symbol, a binary context.
    uint16_t& binaryProbability() {
        Context* mc = minContext;
        const unsigned row = kCountClass[(mc->oneState()->freq - 1u) & 0xFF];
        const unsigned column = kSuffixClass[suffixOf(mc)->numStats] + prevSuccess + mc->flags +
                                ((runLength >> 26) & 0x20);
        return binSumm_[row][column & 63];
    }
    // The SEE class of minContext after escapes from contexts that hold numMasked + 1 symbols,
    // and the escape count it estimates.
    See* escapeEstimator(unsigned numMasked, uint32_t& escFreq) {
        const Context* mc = minContext;
        const unsigned ns = mc->numStats;
        if (ns == 255) {
            escFreq = 1;
            return &dummySee_;
        }
        const unsigned column = (mc->summFreq > 11 * (ns + 1)) +
                                2 * (2 * ns < suffixOf(mc)->numStats + numMasked) + mc->flags;
        See* see = &see_[kCountClass[ns + 2] - 3][column & 31];
        escFreq = see->mean();
        return see;
    }

    // The updates after a symbol was decoded: the first symbol of minContext, another of its
    // symbols, the symbol of a binary context, and a symbol found after escapes.
    void updateFirst();
    void updateOther();
    void updateBinary() {
        State* s = foundState;
        s->freq = static_cast<uint8_t>(s->freq + (s->freq < 196));
        prevSuccess = 1;
        ++runLength;
        nextContext();
    }
    void updateAfterEscape();

    SubAllocator memory;
    Context* minContext = nullptr; // where decoding looks for the next symbol
    Context* maxContext = nullptr; // the longest context of the last symbol
    State* foundState = nullptr;   // the last symbol's state in minContext
    unsigned orderFall = 0;        // how far minContext lies below the maximum order
    unsigned initEsc = 0;
    unsigned prevSuccess = 0;
    int32_t runLength = 0;

private:
    void restart();
    // Moves to the last symbol's successor, or grows the model there.
    void nextContext() {
        Context* c = context(foundState->successorRef());
        if (orderFall == 0 && reinterpret_cast<uint8_t*>(c) >= memory.unitsStart)
            minContext = maxContext = c;
        else
            updateModel();
    }
    void updateModel();
    Context* createSuccessors(bool skip, State* s1, Context* c);
    Context* reduceOrder(State* s1, Context* c);
    void rescale();
    State* findSymbol(Context* c, unsigned symbol);

    // Restoration when memory runs out (ModelRestore.cpp).
    void restoreModel(Context* ctxError);
    uint32_t cutOff(Context* ctx, unsigned order);
    void refresh(Context* ctx, unsigned oldUnits, unsigned scale);

    unsigned maxOrder_ = 0;
    RestoreMethod restoreMethod_ = kRestart;
    int32_t initRunLength_ = 0;
    See see_[24][32] = {};
    See dummySee_ = {};
    uint16_t binSumm_[25][64] = {};
};

} // namespace ppmd

} // namespace vexmar
