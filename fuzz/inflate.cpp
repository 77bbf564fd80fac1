// Inflates raw deflate or Deflate64 data (the first byte chooses, and how the input is cut into
// chunks) into memory three times: with the fast loop the processor runs, with its portable
// build, and with the careful state machine alone. All must produce the same bytes, stop at the
// same place and fail in the same way. The three are run again decoding in the output's own
// room, a block of exactly the size asked for, so that any write past it is caught; a stream
// that decodes whole must decode the same there.
#include "codecs/inflate/InflateState.h"
#include "zip/base/LogBase.h"
#include "zip/base/stream/Output.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace vexmar;

namespace {

// Beyond a few window slides, more output only slows the fuzzer down.
constexpr uint64_t kOutputLimit = 1u << 20;

class MemoryOutput : public Output {
public:
    explicit MemoryOutput(bool offersRoom) : Output(kMemory), offersRoom_(offersRoom) {}
    bool writeRaw(const uint8_t* data, uint64_t length, ProgressMonitor*, LogBase&) override {
        bytes.insert(bytes.end(), data, data + length);
        return true;
    }
    std::vector<uint8_t> bytes;

protected:
    uint8_t* rawPlaceArea(uint64_t length) override {
        if (!offersRoom_)
            return nullptr;
        room_.reset(new uint8_t[length]);
        placed_ = 0;
        return room_.get();
    }
    bool storePlaced(const uint8_t* data, uint64_t length, ProgressMonitor* monitor,
                     LogBase& log) override {
        if (data != room_.get() + placed_)
            std::abort();
        placed_ += length;
        return writeRaw(data, length, monitor, log);
    }

private:
    bool offersRoom_;
    std::unique_ptr<uint8_t[]> room_;
    uint64_t placed_ = 0;
};

// Keeps what decides a decode's outcome: the error texts and the decode error number.
class OutcomeLog : public LogBase {
public:
    bool logError(const char* message) override {
        errors += message;
        errors += '\n';
        return true;
    }
    bool logData(const char* name, const char* value) override {
        errors += name;
        errors += '=';
        errors += value;
        errors += '\n';
        return true;
    }
    std::string errors;
};

struct Outcome {
    bool ok = true;
    bool finished = false;
    size_t consumed = 0;
    std::vector<uint8_t> output;
    std::string errors;

    bool operator==(const Outcome&) const = default;
};

Outcome inflate(const uint8_t* data, size_t size, bool deflate64, bool fast, bool portable,
                bool placed, uint32_t maxChunk, uint32_t seed) {
    Outcome outcome;
    InflateState state;
    state.setState(InflateState::kBlockHeader);
    state.setDeflate64(deflate64);
    state.setFastPath(fast);
    state.setPortableFastLoop(portable);
    state.setOutputLimit(kOutputLimit);
    MemoryOutput output(placed);
    OutcomeLog log;
    size_t offset = 0;
    while (offset < size && outcome.ok && !state.isFinished()) {
        size_t chunk = size - offset;
        if (maxChunk != 0) {
            seed = seed * 1103515245u + 12345u;
            chunk = std::min<size_t>(chunk, 1 + (seed >> 8) % maxChunk);
        }
        uint32_t leftover = 0;
        outcome.ok = state.inflateBlock(data + offset, static_cast<uint32_t>(chunk), leftover,
                                        output, nullptr, log);
        offset += chunk;
        outcome.consumed = offset - leftover;
    }
    outcome.finished = state.isFinished();
    outcome.output = std::move(output.bytes);
    outcome.errors = std::move(log.errors);
    return outcome;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2 || size > 0xFFFFFFFF)
        return 0;
    // Bit 0: Deflate64. Bits 1-3: whole input, or chunks of at most 4^n bytes. Bits 4-7 and the
    // second byte: where the chunk sizes start.
    const bool deflate64 = data[0] & 1;
    const uint32_t sizeClass = (data[0] >> 1) & 7;
    const uint32_t maxChunk = sizeClass == 0 ? 0 : 1u << (2 * sizeClass);
    const uint32_t seed = uint32_t(data[0] >> 4) << 8 | data[1];
    Outcome careful[2];
    for (bool placed : {false, true}) {
        careful[placed] =
            inflate(data + 2, size - 2, deflate64, false, false, placed, maxChunk, seed);
        for (bool portable : {false, true})
            if (!(inflate(data + 2, size - 2, deflate64, true, portable, placed, maxChunk, seed) ==
                  careful[placed]))
                std::abort();
    }
    // Short of a whole stream the two differ in what was handed over before the failure.
    if (careful[0].ok && careful[0].finished && !(careful[1] == careful[0]))
        std::abort();
    return 0;
}
