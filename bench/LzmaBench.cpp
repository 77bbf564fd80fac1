// LZMA1 decoding throughput: ours (the engine's ZIP path, from a source to an output in pieces)
// against liblzma's raw decoder doing the same, on the same streams in the same run. The
// streams are the machine's own files, headers (text) and libraries (binary), a few MB of each,
// compressed by liblzma at preset 6. Rounds alternate the two; medians of processor time.
#include "bench/BenchTiming.h"
#include "codecs/lzma/LzmaDecode.h"
#include "zip/base/LogNull.h"
#include "zip/base/stream/MemoryDataSource.h"
#include "zip/base/stream/Output.h"

#include <lzma.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace vexmar;

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

constexpr size_t kCorpusSize = size_t(4) << 20;
constexpr int kRounds = 7;
constexpr size_t kPiece = 65536;

// Files under `root` whose names end in `suffix`, read one after another up to the corpus size.
Bytes gather(const char* root, const std::string& suffix) {
    Bytes data;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec);
         it != fs::recursive_directory_iterator() && data.size() < kCorpusSize; it.increment(ec)) {
        const std::string name = it->path().string();
        if (!it->is_regular_file(ec) || it->is_symlink(ec) || name.size() < suffix.size() ||
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        std::ifstream in(it->path(), std::ios::binary);
        data.insert(data.end(), std::istreambuf_iterator<char>(in), {});
    }
    if (data.size() > kCorpusSize)
        data.resize(kCorpusSize);
    return data;
}

void require(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "%s failed\n", what);
        std::exit(1);
    }
}

struct Packed {
    Bytes properties;
    Bytes stream;
};

Packed compress(const Bytes& data) {
    lzma_options_lzma options;
    require(!lzma_lzma_preset(&options, 6), "liblzma's preset");
    lzma_filter filters[] = {{LZMA_FILTER_LZMA1, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    Packed packed;
    packed.properties.resize(5);
    require(lzma_properties_encode(filters, packed.properties.data()) == LZMA_OK,
            "liblzma's properties");
    lzma_stream s = LZMA_STREAM_INIT;
    require(lzma_raw_encoder(&s, filters) == LZMA_OK, "liblzma's encoder");
    packed.stream.resize(data.size() + data.size() / 2 + 4096);
    s.next_in = data.data();
    s.avail_in = data.size();
    s.next_out = packed.stream.data();
    s.avail_out = packed.stream.size();
    require(lzma_code(&s, LZMA_FINISH) == LZMA_STREAM_END, "compressing");
    packed.stream.resize(s.total_out);
    lzma_end(&s);
    return packed;
}

class CountingOutput : public Output {
public:
    CountingOutput() : Output(kMemory) {}
    bool writeRaw(const uint8_t* data, uint64_t length, ProgressMonitor*, LogBase&) override {
        bytes += length;
        last = data[length - 1];
        return true;
    }
    uint64_t bytes = 0;
    uint8_t last = 0;
};

uint64_t decodeOurs(const Bytes& entry, size_t size) {
    MemoryDataSource source(entry.data(), entry.size());
    CountingOutput output;
    LogNull log;
    require(lzmaFromSource(source, output, size, nullptr, log), "our decoder");
    return output.bytes + output.last;
}

uint64_t decodeLiblzma(const Packed& packed, size_t size) {
    lzma_filter filters[] = {{LZMA_FILTER_LZMA1, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
    require(lzma_properties_decode(&filters[0], nullptr, packed.properties.data(), 5) == LZMA_OK,
            "liblzma's properties");
    lzma_stream s = LZMA_STREAM_INIT;
    require(lzma_raw_decoder(&s, filters) == LZMA_OK, "liblzma's decoder");
    std::free(filters[0].options);
    static Bytes out(kPiece);
    s.next_in = packed.stream.data();
    s.avail_in = packed.stream.size();
    uint64_t total = 0;
    uint8_t last = 0;
    for (lzma_ret ret = LZMA_OK; ret == LZMA_OK && total < size;) {
        s.next_out = out.data();
        s.avail_out = out.size();
        ret = lzma_code(&s, LZMA_RUN);
        const size_t produced = out.size() - s.avail_out;
        total += produced;
        if (produced != 0)
            last = out[produced - 1];
    }
    lzma_end(&s);
    return total + last;
}

void run(const char* title, const Bytes& data) {
    const Packed packed = compress(data);
    Bytes entry = {0x10, 0x02, 5, 0};
    entry.insert(entry.end(), packed.properties.begin(), packed.properties.end());
    entry.insert(entry.end(), packed.stream.begin(), packed.stream.end());
    std::vector<double> ours, theirs;
    for (int round = 0; round < kRounds; ++round) {
        uint64_t a = 0, b = 0;
        ours.push_back(bench::cpuSecondsOf([&] { a = decodeOurs(entry, data.size()); }));
        theirs.push_back(bench::cpuSecondsOf([&] { b = decodeLiblzma(packed, data.size()); }));
        require(a == b, "agreeing on the output");
        bench::keep(a ^ b);
    }
    const double mb = double(data.size()) / 1e6;
    const double o = bench::median(ours), t = bench::median(theirs);
    std::printf("%-8s %6.2f MB -> %6.2f MB  ours %7.1f MB/s  liblzma %7.1f MB/s  ours/liblzma "
                "time %.2f\n",
                title, mb, double(packed.stream.size()) / 1e6, mb / o, mb / t, o / t);
}

} // namespace

int main() {
    std::printf("LZMA1 decode, median of %d rounds (processor time), same run:\n", kRounds);
    run("text", gather("/usr/include", ".h"));
    run("binary", gather("/usr/lib/x86_64-linux-gnu", ".so"));
    return 0;
}
