// Raw inflate throughput: ours against zlib's and libdeflate's, decoding the same deflate
// streams from memory into memory in the same run. The streams are the machine's own files,
// each compressed on its own by zlib at level 6, as an archiver would store them.
#include "bench/BenchTiming.h"
#include "codecs/inflate/Inflate.h"
#include "zip/base/LogNull.h"
#include "zip/base/stream/MemoryDataSource.h"
#include "zip/base/stream/Output.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace vexmar;

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

constexpr size_t kMiB = size_t(1) << 20;
constexpr int kRuns = 11;
// How much longer than libdeflate ours may take on a corpus.
constexpr double kTargetBehindLibdeflate = 1.10;

struct Stream {
    Bytes compressed;
    size_t size;
};

struct Corpus {
    const char* title;
    std::vector<Stream> streams;
    size_t totalSize = 0;
    size_t totalCompressed = 0;
};

Bytes readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

Bytes deflateRaw(const Bytes& data) {
    z_stream z{};
    deflateInit2(&z, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    Bytes out(deflateBound(&z, static_cast<uLong>(data.size())));
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

// Regular files below the roots, in path order, until `limit` bytes; already compressed
// files are left out.
Corpus collect(const char* title, std::vector<const char*> roots, size_t limit) {
    std::vector<fs::path> paths;
    for (const char* root : roots) {
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(root, ec);
             it != fs::recursive_directory_iterator(); it.increment(ec)) {
            const std::string ext = it->path().extension().string();
            if (it->is_regular_file(ec) && !it->is_symlink(ec) && ext != ".gz" && ext != ".xz" &&
                ext != ".bz2" && ext != ".zst" && ext != ".png")
                paths.push_back(it->path());
        }
    }
    std::sort(paths.begin(), paths.end());
    Corpus corpus;
    corpus.title = title;
    for (const fs::path& path : paths) {
        if (corpus.totalSize >= limit)
            break;
        const Bytes data = readFile(path);
        if (data.empty())
            continue;
        corpus.streams.push_back({deflateRaw(data), data.size()});
        corpus.totalSize += data.size();
        corpus.totalCompressed += corpus.streams.back().compressed.size();
    }
    return corpus;
}

// Our output into a preallocated buffer, as a memory sink would: it offers its room for
// decoding in place.
class BufferOutput : public Output {
public:
    BufferOutput(uint8_t* target, size_t capacity)
        : Output(kMemory), target_(target), capacity_(capacity) {}
    bool writeRaw(const uint8_t* data, uint64_t length, ProgressMonitor*, LogBase&) override {
        if (length > capacity_ - used_)
            return false;
        std::memcpy(target_ + used_, data, length);
        used_ += length;
        return true;
    }
    size_t used() const { return used_; }

protected:
    uint8_t* rawPlaceArea(uint64_t length) override {
        return length <= capacity_ - used_ ? target_ + used_ : nullptr;
    }
    bool storePlaced(const uint8_t* data, uint64_t length, ProgressMonitor*, LogBase&) override {
        if (data != target_ + used_ || length > capacity_ - used_)
            return false;
        used_ += length;
        return true;
    }

private:
    uint8_t* target_;
    size_t capacity_;
    size_t used_ = 0;
};

// Each decoder returns the bytes it produced.
size_t ours(const Stream& s, uint8_t* out) {
    MemoryDataSource source(s.compressed.data(), s.compressed.size());
    // The buffers hold one byte more than the largest stream: ours decodes in place into room
    // for one byte beyond the expected size, so that it can tell a longer stream.
    BufferOutput output(out, s.size + 1);
    LogNull log;
    return inflateFromSource(false, source, output, false, nullptr, log, s.size) ? output.used()
                                                                                 : 0;
}

size_t zlib(const Stream& s, uint8_t* out) {
    z_stream z{};
    inflateInit2(&z, -15);
    z.next_in = const_cast<Bytef*>(s.compressed.data());
    z.avail_in = static_cast<uInt>(s.compressed.size());
    z.next_out = out;
    z.avail_out = static_cast<uInt>(s.size);
    const int rc = inflate(&z, Z_FINISH);
    const size_t produced = z.total_out;
    inflateEnd(&z);
    return rc == Z_STREAM_END ? produced : 0;
}

libdeflate_decompressor* g_libdeflate;

size_t libdeflate(const Stream& s, uint8_t* out) {
    size_t produced = 0;
    const auto rc = libdeflate_deflate_decompress(g_libdeflate, s.compressed.data(),
                                                  s.compressed.size(), out, s.size, &produced);
    return rc == LIBDEFLATE_SUCCESS ? produced : 0;
}

struct Contender {
    const char* name;
    size_t (*decode)(const Stream&, uint8_t*);
};

const Contender kContenders[] = {{"ours", ours}, {"zlib", zlib}, {"libdeflate", libdeflate}};

// False when a contender's output differs from the original size or from libdeflate's bytes.
bool measure(const Corpus& corpus) {
    size_t largest = 0;
    for (const Stream& s : corpus.streams)
        largest = std::max(largest, s.size);
    Bytes out(largest + 1), reference(largest + 1);
    bool agree = true;
    for (const Stream& s : corpus.streams) {
        if (libdeflate(s, reference.data()) != s.size)
            agree = false;
        for (const Contender& c : kContenders)
            agree = agree && c.decode(s, out.data()) == s.size &&
                    std::memcmp(out.data(), reference.data(), s.size) == 0;
    }

    std::vector<std::vector<double>> seconds(std::size(kContenders));
    for (int run = 0; run < kRuns; ++run)
        for (size_t i = 0; i < std::size(kContenders); ++i)
            seconds[i].push_back(bench::cpuSecondsOf([&] {
                size_t total = 0;
                for (const Stream& s : corpus.streams)
                    total += kContenders[i].decode(s, out.data());
                bench::keep(total);
            }));

    std::printf("%s: %zu files, %.1f MiB, deflated to %.1f%% by zlib -6\n", corpus.title,
                corpus.streams.size(), double(corpus.totalSize) / kMiB,
                100.0 * double(corpus.totalCompressed) / double(corpus.totalSize));
    double rates[std::size(kContenders)];
    for (size_t i = 0; i < std::size(kContenders); ++i) {
        rates[i] = double(corpus.totalSize) / kMiB / bench::median(seconds[i]);
        std::printf("  %-11s %8.0f MiB/s (median of %d runs, thread time)\n", kContenders[i].name,
                    rates[i], kRuns);
    }
    // Our time over libdeflate's, the figure the target is set on.
    const double behind = rates[2] / rates[0];
    std::printf("  ours/zlib %.2fx, libdeflate/ours %.2fx%s\n", rates[0] / rates[1], behind,
                agree ? "" : "  MISMATCH: outputs differ");
    std::printf("  our time / libdeflate's: %.2fx (target at most %.2fx: %s)\n\n", behind,
                kTargetBehindLibdeflate, behind <= kTargetBehindLibdeflate ? "PASS" : "MISS");
    return agree;
}

// One pass of one contender over a corpus, untimed: for counting instructions under callgrind,
// where the whole timed comparison would take too long.
__attribute__((noinline)) bool decodeOnce(const Corpus& corpus, const char* name) {
    const auto contender = std::find_if(std::begin(kContenders), std::end(kContenders),
                                        [&](const Contender& c) { return !std::strcmp(c.name, name); });
    if (contender == std::end(kContenders))
        return false;
    size_t largest = 0;
    for (const Stream& s : corpus.streams)
        largest = std::max(largest, s.size);
    Bytes out(largest + 1);
    bool ok = true;
    for (const Stream& s : corpus.streams)
        ok = contender->decode(s, out.data()) == s.size && ok;
    return ok;
}

Corpus binaries() {
    return collect("Binaries (/usr/bin)", {"/usr/bin"}, 48 * kMiB);
}

Corpus text() {
    return collect("Text (/usr/share/doc, /usr/include)", {"/usr/share/doc", "/usr/include"},
                   32 * kMiB);
}

} // namespace

// Without arguments, the timed comparison on both corpora. With `--once CONTENDER CORPUS`
// (binaries or text), that contender decodes that corpus once.
int main(int argc, char** argv) {
    g_libdeflate = libdeflate_alloc_decompressor();
    bool ok = true;
    if (argc == 4 && !std::strcmp(argv[1], "--once")) {
        ok = decodeOnce(!std::strcmp(argv[3], "text") ? text() : binaries(), argv[2]);
    } else {
        std::printf("Raw inflate into memory; zlib %s.\n\n", zlibVersion());
        ok = measure(binaries());
        ok = measure(text()) && ok;
    }
    libdeflate_free_decompressor(g_libdeflate);
    return ok ? 0 : 1;
}
