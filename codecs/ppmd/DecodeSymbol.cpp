#include "codecs/ppmd/DecodeSymbol.h"

#include "codecs/ppmd/Model.h"
#include "codecs/ppmd/RangeDecoder.h"

#include <cstring>

namespace vexmar {

namespace ppmd {

namespace {

// 0xFF for symbols still possible, 0 for those masked by the contexts escaped from.
struct SymbolMask {
    SymbolMask() { std::memset(open, 0xFF, sizeof(open)); }
    uint8_t open[256];
};

// The symbols of minContext, which escaped, become masked; its parents are tried in turn. Their
// escape counts come from SEE.
int decodeAfterEscape(Model& model, RangeDecoder& rc, SymbolMask& mask) {
    for (;;) {
        const unsigned numMasked = model.minContext->numStats;
        do {
            ++model.orderFall;
            if (!model.minContext->suffix)
                return kEndMark;
            model.minContext = model.suffixOf(model.minContext);
        } while (model.minContext->numStats == numMasked);
        Context* mc = model.minContext;
        State* const stats = model.statsOf(mc);
        State* const end = stats + mc->numStats + 1;

        // Two sums side by side: the loads of one pair of states do not wait for the other.
        State* s = stats;
        uint32_t hiCnt = (mc->numStats & 1) ? 0 : s->freq & mask.open[s->symbol];
        uint32_t hiCnt2 = 0;
        for (s += (mc->numStats & 1) ? 0 : 1; s != end; s += 2) {
            hiCnt += s[0].freq & mask.open[s[0].symbol];
            hiCnt2 += s[1].freq & mask.open[s[1].symbol];
        }
        hiCnt += hiCnt2;

        uint32_t escFreq;
        See* see = model.escapeEstimator(numMasked, escFreq);
        const uint32_t sum = hiCnt + escFreq;
        const uint32_t total = rc.fit(sum);
        const uint32_t count = rc.threshold(total);
        if (count < hiCnt) {
            // Masked states add nothing, so the state that passes count is an open one.
            s = stats;
            uint32_t high = s->freq & mask.open[s->symbol];
            while (high <= count) {
                ++s;
                high += s->freq & mask.open[s->symbol];
            }
            rc.decode(high - s->freq, s->freq);
            see->update();
            model.foundState = s;
            const int symbol = s->symbol;
            model.updateAfterEscape();
            return symbol;
        }
        if (count >= total)
            return kDataError;
        rc.decode(hiCnt, total - hiCnt);
        see->summ = static_cast<uint16_t>(see->summ + sum);
        for (const State* s = stats; s != end; ++s)
            mask.open[s->symbol] = 0;
    }
}

} // namespace

int decodeSymbol(Model& model, RangeDecoder& rc) {
    Context* mc = model.minContext;
    if (mc->numStats != 0) {
        State* s = model.statsOf(mc);
        const uint32_t total = rc.fit(mc->summFreq);
        const uint32_t count = rc.threshold(total);
        uint32_t high = s->freq;
        if (count < high) {
            rc.decode(0, high);
            model.foundState = s;
            const int symbol = s->symbol;
            model.updateFirst();
            return symbol;
        }
        model.prevSuccess = 0;
        for (unsigned i = mc->numStats; i != 0; --i) {
            ++s;
            high += s->freq;
            if (high > count) {
                rc.decode(high - s->freq, s->freq);
                model.foundState = s;
                const int symbol = s->symbol;
                model.updateOther();
                return symbol;
            }
        }
        if (count >= total)
            return kDataError;
        rc.decode(high, total - high);
        SymbolMask mask;
        State* stats = model.statsOf(mc);
        for (unsigned i = 0; i <= mc->numStats; ++i)
            mask.open[stats[i].symbol] = 0;
        return decodeAfterEscape(model, rc, mask);
    }

    uint16_t& prob = model.binaryProbability();
    if (rc.decodeBit(prob)) {
        prob = static_cast<uint16_t>(prob + (1 << 7) - binaryMean(prob));
        model.foundState = mc->oneState();
        const int symbol = model.foundState->symbol;
        model.updateBinary();
        return symbol;
    }
    prob = static_cast<uint16_t>(prob - binaryMean(prob));
    model.initEsc = kExpEscape[prob >> 10];
    model.prevSuccess = 0;
    SymbolMask mask;
    mask.open[mc->oneState()->symbol] = 0;
    return decodeAfterEscape(model, rc, mask);
}

} // namespace ppmd

} // namespace vexmar
