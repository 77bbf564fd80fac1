// When the sub-allocator runs out: the half-done update is taken back, then the model either
// starts afresh or, with the cut-off method and more than half the memory in use, drops the
// contexts that lead nowhere until a quarter of the memory is free again.
#include "codecs/ppmd/Model.h"

#include <utility>

namespace vexmar {

namespace ppmd {

namespace {

// A context that falls back to one symbol keeps that symbol's state in place, with its count
// scaled down.
void becomeBinary(Context* c, const State& s) {
    c->flags = static_cast<uint8_t>((c->flags & kFlagPrevHigh) + highSymbolFlag(s.symbol));
    State* one = c->oneState();
    one->symbol = s.symbol;
    one->freq = static_cast<uint8_t>((s.freq + 11u) >> 3);
    one->setSuccessor(s.successorRef());
}

} // namespace

void Model::restoreModel(Context* ctxError) {
    memory.text = memory.at<uint8_t>(0);

    // The contexts above ctxError received the symbol already: take it out again.
    Context* c = maxContext;
    for (; c != ctxError; c = suffixOf(c)) {
        if (--c->numStats == 0) {
            State* stats = statsOf(c);
            becomeBinary(c, *stats);
            memory.specialFreeUnit(stats);
        } else {
            refresh(c, (c->numStats + 3u) >> 1, 0);
        }
    }
    // The contexts the symbol escaped from expect escapes a little more.
    for (; c != minContext; c = suffixOf(c)) {
        if (c->numStats == 0) {
            State* one = c->oneState();
            one->freq = static_cast<uint8_t>((one->freq + 1u) >> 1);
        } else {
            c->summFreq = static_cast<uint16_t>(c->summFreq + 4);
            if (c->summFreq > 128 + 4u * c->numStats)
                refresh(c, (c->numStats + 2u) >> 1, 1);
        }
    }

    if (restoreMethod_ == kRestart || memory.usedMemory() < (memory.size() >> 1)) {
        restart();
    } else {
        while (maxContext->suffix)
            maxContext = suffixOf(maxContext);
        do {
            cutOff(maxContext, 0);
            memory.expandTextArea();
        } while (memory.usedMemory() > 3 * (memory.size() >> 2));
        memory.glueCount = 0;
        orderFall = maxOrder_;
    }
    minContext = maxContext;
}

// Fits a context's state array to its symbol count after states were dropped, and rescales
// its counts when `scale` is 1 (or when its total grew too large for the range coder).
void Model::refresh(Context* ctx, unsigned oldUnits, unsigned scale) {
    unsigned i = ctx->numStats;
    auto* s = static_cast<State*>(memory.shrinkUnits(statsOf(ctx), oldUnits, (i + 2) >> 1));
    ctx->stats = memory.ref(s);
    scale |= ctx->summFreq >= (1u << 15);

    uint8_t high = highSymbolFlag(s->symbol);
    unsigned escFreq = ctx->summFreq - s->freq;
    unsigned sumFreq = (s->freq + scale) >> scale;
    s->freq = static_cast<uint8_t>(sumFreq);
    do {
        ++s;
        escFreq -= s->freq;
        const unsigned freq = (s->freq + scale) >> scale;
        sumFreq += freq;
        s->freq = static_cast<uint8_t>(freq);
        high |= highSymbolFlag(s->symbol);
    } while (--i);

    ctx->summFreq = static_cast<uint16_t>(sumFreq + ((escFreq + scale) >> scale));
    ctx->flags =
        static_cast<uint8_t>((ctx->flags & (kFlagPrevHigh + kFlagRescaled * scale)) + high);
}

// Prunes the subtree of ctx (at `order`): successors beyond the maximum order and text
// positions become 0, states without a successor go (except in the root, where they only move
// to the end), and so do contexts left without any. Returns the context's reference, or 0 when
// it was freed.
uint32_t Model::cutOff(Context* ctx, unsigned order) {
    if (ctx->numStats == 0) {
        State* one = ctx->oneState();
        uint32_t successor = one->successorRef();
        if (memory.isUnit(successor)) {
            successor = order < maxOrder_ ? cutOff(context(successor), order + 1) : 0;
            one->setSuccessor(successor);
            if (successor != 0 || order <= 9)
                return memory.ref(ctx);
        }
        memory.specialFreeUnit(ctx);
        return 0;
    }

    const unsigned units = (ctx->numStats + 2u) >> 1;
    auto* stats = static_cast<State*>(memory.moveUnitsUp(statsOf(ctx), units));
    ctx->stats = memory.ref(stats);

    int kept = ctx->numStats; // index of the last state kept
    for (int i = kept; i >= 0; --i) {
        State* s = stats + i;
        const uint32_t successor = s->successorRef();
        if (!memory.isUnit(successor)) {
            State* last = stats + kept--;
            if (order != 0) {
                if (s != last)
                    *s = *last;
            } else {
                std::swap(*s, *last);
                last->setSuccessor(0);
            }
        } else {
            s->setSuccessor(order < maxOrder_ ? cutOff(context(successor), order + 1) : 0);
        }
    }

    if (kept != ctx->numStats && order != 0) {
        if (kept < 0) {
            memory.freeUnits(stats, units);
            memory.specialFreeUnit(ctx);
            return 0;
        }
        ctx->numStats = static_cast<uint8_t>(kept);
        if (kept == 0) {
            const State only = *stats;
            becomeBinary(ctx, only);
            memory.freeUnits(stats, units);
        } else {
            refresh(ctx, units, ctx->summFreq > 16u * kept);
        }
    }
    return memory.ref(ctx);
}

} // namespace ppmd

} // namespace vexmar
