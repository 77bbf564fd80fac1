// Learning from each decoded symbol: counts, the order of states, new contexts for the symbol
// where it was missing, and successors that lead to the next context.
#include "codecs/ppmd/Model.h"

#include <utility>

namespace vexmar {

namespace ppmd {

namespace {

// Moves *s to the front of [first, s], shifting the others up.
void moveToFront(State* first, State* s) {
    const State moved = *s;
    for (; s != first; --s)
        s[0] = s[-1];
    *first = moved;
}

} // namespace

void Model::updateFirst() {
    State* s = foundState;
    Context* mc = minContext;
    prevSuccess = 2u * s->freq >= mc->summFreq;
    runLength += static_cast<int32_t>(prevSuccess);
    mc->summFreq = static_cast<uint16_t>(mc->summFreq + 4);
    s->freq = static_cast<uint8_t>(s->freq + 4);
    if (s->freq > kMaxFreq)
        rescale();
    nextContext();
}

void Model::updateOther() {
    State* s = foundState;
    s->freq = static_cast<uint8_t>(s->freq + 4);
    minContext->summFreq = static_cast<uint16_t>(minContext->summFreq + 4);
    if (s->freq > s[-1].freq) {
        std::swap(s[0], s[-1]);
        foundState = --s;
        if (s->freq > kMaxFreq)
            rescale();
    }
    nextContext();
}

void Model::updateAfterEscape() {
    State* s = foundState;
    s->freq = static_cast<uint8_t>(s->freq + 4);
    runLength = initRunLength_;
    minContext->summFreq = static_cast<uint16_t>(minContext->summFreq + 4);
    if (s->freq > kMaxFreq)
        rescale();
    updateModel();
}

// The context holds the symbol whenever the model is sound; a damaged model stops at its last
// state rather than read past it.
State* Model::findSymbol(Context* c, unsigned symbol) {
    State* s = statsOf(c);
    for (State* last = s + c->numStats; s->symbol != symbol && s != last;)
        ++s;
    return s;
}

// Halves the counts of minContext, keeps its states sorted by count, and drops the states
// that fall to zero.
void Model::rescale() {
    Context* mc = minContext;
    State* stats = statsOf(mc);
    moveToFront(stats, foundState);

    State* s = stats;
    unsigned escFreq = mc->summFreq - s->freq;
    const unsigned adder = orderFall != 0;
    unsigned sumFreq = (s->freq + 4 + adder) >> 1;
    s->freq = static_cast<uint8_t>(sumFreq);
    for (unsigned i = mc->numStats; i != 0; --i) {
        ++s;
        escFreq -= s->freq;
        const unsigned freq = (s->freq + adder) >> 1;
        sumFreq += freq;
        s->freq = static_cast<uint8_t>(freq);
        if (freq > s[-1].freq) {
            State* slot = s;
            const State moved = *s;
            do
                slot[0] = slot[-1];
            while (--slot != stats && freq > slot[-1].freq);
            *slot = moved;
        }
    }

    if (s->freq == 0) {
        unsigned zeros = 0;
        do
            ++zeros;
        while ((--s)->freq == 0);
        escFreq += zeros;
        const unsigned oldCount = mc->numStats;
        const unsigned newCount = oldCount - zeros;
        mc->numStats = static_cast<uint8_t>(newCount);
        const unsigned oldUnits = (oldCount + 2) >> 1;
        if (newCount == 0) {
            unsigned freq = (2 * stats->freq + escFreq - 1) / escFreq;
            if (freq > kMaxFreq / 3)
                freq = kMaxFreq / 3;
            mc->flags =
                static_cast<uint8_t>((mc->flags & kFlagPrevHigh) + highSymbolFlag(stats->symbol));
            State* one = mc->oneState();
            *one = *stats;
            one->freq = static_cast<uint8_t>(freq);
            foundState = one;
            memory.freeUnits(stats, oldUnits);
            return;
        }
        const unsigned newUnits = (newCount + 2) >> 1;
        if (oldUnits != newUnits)
            mc->stats = memory.ref(memory.shrinkUnits(stats, oldUnits, newUnits));
    }

    mc->summFreq = static_cast<uint16_t>(sumFreq + escFreq - (escFreq >> 1));
    mc->flags |= kFlagRescaled;
    foundState = statsOf(mc);
}

// Creates the contexts that the last symbol's successor pointer only promised (it still points
// into the text area): one for each suffix context whose state for the symbol shares that
// promise, each holding the symbol that followed in the text.
Context* Model::createSuccessors(bool skip, State* s1, Context* c) {
    uint32_t upBranch = foundState->successorRef();
    State* pending[kMaxOrder + 1];
    unsigned numPending = 0;
    if (!skip)
        pending[numPending++] = foundState;

    while (c->suffix) {
        c = suffixOf(c);
        State* s;
        if (s1) {
            s = s1;
            s1 = nullptr;
        } else if (c->numStats != 0) {
            s = findSymbol(c, foundState->symbol);
            if (s->freq < kMaxFreq - 9) {
                ++s->freq;
                ++c->summFreq;
            }
        } else {
            s = c->oneState();
            s->freq =
                static_cast<uint8_t>(s->freq + ((suffixOf(c)->numStats == 0) & (s->freq < 24)));
        }
        const uint32_t successor = s->successorRef();
        if (successor != upBranch) {
            c = context(successor);
            if (numPending == 0)
                return c;
            break;
        }
        if (numPending == kMaxOrder + 1)
            return nullptr; // deeper than any model order: a damaged model
        pending[numPending++] = s;
    }

    const uint8_t newSymbol = *memory.at<uint8_t>(upBranch);
    ++upBranch;
    const auto flags =
        static_cast<uint8_t>(prevHighFlag(foundState->symbol) + highSymbolFlag(newSymbol));
    uint8_t newFreq;
    if (c->numStats == 0) {
        newFreq = c->oneState()->freq;
    } else {
        // The new context's one count, from the symbol's share in the context it came from.
        const State* s = findSymbol(c, newSymbol);
        const uint32_t cf = s->freq - 1u;
        uint32_t s0 = c->summFreq - c->numStats - cf;
        s0 += s0 == 0;
        newFreq = static_cast<uint8_t>(1 + (2 * cf <= s0 ? 5 * cf > s0 : (cf + 2 * s0 - 3) / s0));
    }

    do {
        auto* c1 = static_cast<Context*>(memory.allocContext());
        if (!c1)
            return nullptr;
        c1->numStats = 0;
        c1->flags = flags;
        State* one = c1->oneState();
        one->symbol = newSymbol;
        one->freq = newFreq;
        one->setSuccessor(upBranch);
        c1->suffix = memory.ref(c);
        pending[--numPending]->setSuccessor(memory.ref(c1));
        c = c1;
    } while (numPending != 0);
    return c;
}

// After a symbol seen nowhere at this order: the successors of its states in the suffix
// contexts that still point nowhere are pointed at the text, and the first real successor
// below is returned (made real first when it is only a text position).
Context* Model::reduceOrder(State* s1, Context* c) {
    Context* const start = c;
    const uint32_t upBranch = memory.ref(memory.text);
    foundState->setSuccessor(upBranch);
    ++orderFall;

    State* s;
    for (;;) {
        if (s1) {
            c = suffixOf(c);
            s = s1;
            s1 = nullptr;
        } else {
            if (!c->suffix)
                return c;
            c = suffixOf(c);
            if (c->numStats != 0) {
                s = findSymbol(c, foundState->symbol);
                if (s->freq < kMaxFreq - 9) {
                    s->freq = static_cast<uint8_t>(s->freq + 2);
                    c->summFreq = static_cast<uint16_t>(c->summFreq + 2);
                }
            } else {
                s = c->oneState();
                s->freq = static_cast<uint8_t>(s->freq + (s->freq < 32));
            }
        }
        if (s->successorRef() != 0)
            break;
        s->setSuccessor(upBranch);
        ++orderFall;
    }

    if (s->successorRef() <= upBranch) {
        State* const found = foundState;
        foundState = s;
        Context* made = createSuccessors(false, nullptr, c);
        s->setSuccessor(made ? memory.ref(made) : 0);
        foundState = found;
    }
    const uint32_t successor = s->successorRef();
    if (orderFall == 1 && start == maxContext) {
        foundState->setSuccessor(successor);
        --memory.text;
    }
    return successor == 0 ? nullptr : context(successor);
}

void Model::updateModel() {
    const unsigned fSymbol = foundState->symbol;
    const unsigned fFreq = foundState->freq;
    uint32_t minSuccessor = foundState->successorRef();

    // The symbol's state in the suffix context gains too, and moves ahead of a weaker one.
    State* s = nullptr;
    if (fFreq < kMaxFreq / 4 && minContext->suffix != 0) {
        Context* c = suffixOf(minContext);
        if (c->numStats == 0) {
            s = c->oneState();
            if (s->freq < 32)
                ++s->freq;
        } else {
            s = statsOf(c);
            if (s->symbol != fSymbol) {
                s = findSymbol(c, fSymbol);
                if (s[0].freq >= s[-1].freq) {
                    std::swap(s[0], s[-1]);
                    --s;
                }
            }
            if (s->freq < kMaxFreq - 9) {
                s->freq = static_cast<uint8_t>(s->freq + 2);
                c->summFreq = static_cast<uint16_t>(c->summFreq + 2);
            }
        }
    }

    Context* c = maxContext;
    if (orderFall == 0 && minSuccessor != 0) {
        Context* made = createSuccessors(true, s, minContext);
        if (!made) {
            foundState->setSuccessor(0);
            restoreModel(c);
            return;
        }
        foundState->setSuccessor(memory.ref(made));
        minContext = maxContext = made;
        return;
    }

    *memory.text++ = static_cast<uint8_t>(fSymbol);
    if (memory.text >= memory.unitsStart) {
        restoreModel(c);
        return;
    }
    uint32_t maxSuccessor = memory.ref(memory.text);

    if (minSuccessor == 0) {
        Context* reduced = reduceOrder(s, minContext);
        if (!reduced) {
            restoreModel(c);
            return;
        }
        minSuccessor = memory.ref(reduced);
    } else if (!memory.isUnit(minSuccessor)) {
        Context* made = createSuccessors(false, s, minContext);
        if (!made) {
            restoreModel(c);
            return;
        }
        minSuccessor = memory.ref(made);
    }

    if (--orderFall == 0) {
        maxSuccessor = minSuccessor;
        memory.text -= maxContext != minContext;
    }

    // Add the symbol to every context from maxContext down to (not including) minContext.
    const uint8_t flag = highSymbolFlag(fSymbol);
    const unsigned ns = minContext->numStats;
    const unsigned s0 = minContext->summFreq - ns - fFreq;
    for (; c != minContext; c = suffixOf(c)) {
        const unsigned ns1 = c->numStats;
        uint32_t sum;
        if (ns1 != 0) {
            if (ns1 & 1) {
                void* grown = memory.growByOne(statsOf(c), (ns1 + 1) >> 1);
                if (!grown) {
                    restoreModel(c);
                    return;
                }
                c->stats = memory.ref(grown);
            }
            sum = c->summFreq + (3 * ns1 + 1 < ns);
        } else {
            auto* pair = static_cast<State*>(memory.allocUnits(0));
            if (!pair) {
                restoreModel(c);
                return;
            }
            const State one = *c->oneState();
            *pair = one;
            c->stats = memory.ref(pair);
            const unsigned freq = one.freq < kMaxFreq / 4 - 1 ? one.freq * 2u : kMaxFreq - 4;
            pair->freq = static_cast<uint8_t>(freq);
            sum = freq + initEsc + (ns > 2);
        }

        State* added = statsOf(c) + ns1 + 1;
        uint32_t cf = 2 * (sum + 6) * fFreq;
        const uint32_t sf = s0 + sum;
        added->symbol = static_cast<uint8_t>(fSymbol);
        added->setSuccessor(maxSuccessor);
        c->numStats = static_cast<uint8_t>(ns1 + 1);
        c->flags |= flag;
        if (cf < 6 * sf) {
            cf = 1 + (cf > sf) + (cf >= 4 * sf);
            sum += 4;
        } else {
            cf = 4 + (cf > 9 * sf) + (cf > 12 * sf) + (cf > 15 * sf);
            sum += cf;
        }
        c->summFreq = static_cast<uint16_t>(sum);
        added->freq = static_cast<uint8_t>(cf);
    }
    maxContext = minContext = context(minSuccessor);
}

} // namespace ppmd

} // namespace vexmar
