#include "DecodeRun.h"

#include "codecs/lzma/LzmaDecode.h"
#include "codecs/lzma/LzmaUnpack.h"
#include "tests/support/VectorOutput.h"
#include "zip/base/stream/MemoryDataSource.h"

#include <algorithm>
#include <memory>

namespace {

class PieceSource : public vexmar::MemoryDataSource {
public:
    PieceSource(const Bytes& bytes, uint32_t piece)
        : MemoryDataSource(bytes.data(), bytes.size()), piece_(piece) {}
    bool readRaw(uint8_t* buffer, uint32_t max, uint32_t& count, bool& atEnd,
                 vexmar::ProgressMonitor* monitor, vexmar::LogBase& log) override {
        return MemoryDataSource::readRaw(buffer, piece_ != 0 && max > piece_ ? piece_ : max, count,
                                         atEnd, monitor, log);
    }

private:
    uint32_t piece_;
};

} // namespace

EntryRun decodeEntry(const Bytes& entry, uint64_t size, uint32_t piece) {
    PieceSource source(entry, piece);
    VectorOutput output;
    output.capacity = size;
    RecordingLog log;
    EntryRun run;
    run.ok = vexmar::lzmaFromSource(source, output, size, nullptr, log);
    run.out = output.written;
    for (uint64_t n : output.writeSizes)
        run.largestWrite = std::max(run.largestWrite, n);
    run.log = log.record();
    return run;
}

bool unpackBlock(const Bytes& block, size_t size, const Bytes* expected) {
    // Exactly the room asked for, so that the sanitizer sees any write past it.
    std::unique_ptr<uint8_t[]> out(new uint8_t[size == 0 ? 1 : size]);
    if (!vexmar::lzmaUnpack(block.data(), block.size(), out.get(), size))
        return false;
    return expected == nullptr || Bytes(out.get(), out.get() + size) == *expected;
}

Bytes textSample(size_t size) {
    static const char* const words[] = {"setup",   "payload", "folder", "archive", "the",
                                        "install", "of",      "a",      "version", "\r\n"};
    Bytes text;
    uint32_t state = 7;
    while (text.size() < size) {
        state = state * 1103515245u + 12345u;
        const std::string word = std::string(words[(state >> 16) % 10]) + ' ';
        text.insert(text.end(), word.begin(), word.end());
    }
    text.resize(size);
    return text;
}

Bytes randomSample(size_t size, uint32_t seed) {
    Bytes bytes(size);
    for (uint8_t& b : bytes) {
        seed = seed * 1103515245u + 12345u;
        b = static_cast<uint8_t>(seed >> 24);
    }
    return bytes;
}

Bytes repeatSample(size_t size) {
    Bytes bytes;
    const Bytes pattern = randomSample(97, 3);
    while (bytes.size() < size) {
        bytes.insert(bytes.end(), 5000, static_cast<uint8_t>(bytes.size() / 5000));
        for (int i = 0; i < 40; ++i)
            bytes.insert(bytes.end(), pattern.begin(), pattern.end());
    }
    bytes.resize(size);
    return bytes;
}
