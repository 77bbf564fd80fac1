// CRC-32 and Adler-32 throughput: ours against zlib's on the same buffers in the same run.
#include "bench/BenchTiming.h"
#include "zip/base/checksum/Adler32.h"
#include "zip/base/checksum/CrcKernels.h"

#include <zlib.h>

#include <cstdio>
#include <random>
#include <vector>

using namespace vexmar;

namespace {

constexpr size_t kMiB = size_t(1) << 20;
constexpr size_t kBytesPerRun = 256 * kMiB;
constexpr int kRuns = 7;
constexpr size_t kBufferSizes[] = {kMiB, 64 * 1024};

using Checksum = uint32_t (*)(uint32_t, const uint8_t*, size_t);

// Each function takes and returns the value as it is passed between calls.
uint32_t oursCrc(uint32_t crc, const uint8_t* p, size_t n) {
    return ~vexmar::crc32Update(~crc, p, n);
}
uint32_t oursSlice16(uint32_t crc, const uint8_t* p, size_t n) {
    return ~vexmar::crc32Slice16(~crc, p, n);
}
uint32_t zlibCrc(uint32_t crc, const uint8_t* p, size_t n) {
    return static_cast<uint32_t>(crc32(crc, p, static_cast<uInt>(n)));
}
uint32_t oursAdler(uint32_t adler, const uint8_t* p, size_t n) {
    return vexmar::adler32Update(adler, p, n);
}
uint32_t zlibAdler(uint32_t adler, const uint8_t* p, size_t n) {
    return static_cast<uint32_t>(adler32(adler, p, static_cast<uInt>(n)));
}

struct Contender {
    const char* name;
    Checksum sum;
};

// Seconds to feed kBytesPerRun bytes through the buffer, chaining the value from call to call.
double secondsPerRun(Checksum sum, uint32_t start, const std::vector<uint8_t>& buffer) {
    const size_t calls = kBytesPerRun / buffer.size();
    return bench::secondsOf([&] {
        uint32_t value = start;
        for (size_t i = 0; i < calls; ++i)
            value = sum(value, buffer.data(), buffer.size());
        bench::keep(value);
    });
}

// One table per checksum: each contender's MiB/s, and the first one's lead over the last (the
// yardstick). False when a contender's result differs from the yardstick's.
bool compare(const char* title, uint32_t start, const std::vector<Contender>& contenders,
             const std::vector<std::vector<uint8_t>>& buffers) {
    std::printf("%s: %zu MiB per run, median of %d runs, MiB/s\n", title, kBytesPerRun / kMiB,
                kRuns);
    std::printf("  %-8s", "buffer");
    for (const auto& c : contenders)
        std::printf(" %14s", c.name);
    std::printf(" %14s\n", "ratio");
    bool agree = true;
    for (const auto& buffer : buffers) {
        const uint32_t expected = contenders.back().sum(start, buffer.data(), buffer.size());
        for (const auto& c : contenders)
            agree = agree && c.sum(start, buffer.data(), buffer.size()) == expected;

        std::vector<std::vector<double>> seconds(contenders.size());
        for (int run = 0; run < kRuns; ++run)
            for (size_t i = 0; i < contenders.size(); ++i)
                seconds[i].push_back(secondsPerRun(contenders[i].sum, start, buffer));
        std::vector<double> rates;
        for (const auto& s : seconds)
            rates.push_back(double(kBytesPerRun) / kMiB / bench::median(s));

        if (buffer.size() >= kMiB)
            std::printf("  %4zu MiB", buffer.size() / kMiB);
        else
            std::printf("  %4zu KiB", buffer.size() / 1024);
        for (double r : rates)
            std::printf(" %14.0f", r);
        std::printf(" %13.2fx\n", rates.front() / rates.back());
    }
    if (!agree)
        std::printf("  MISMATCH: the results differ from the last column's\n");
    std::printf("\n");
    return agree;
}

} // namespace

int main() {
    std::mt19937 gen(1);
    std::vector<std::vector<uint8_t>> buffers;
    for (size_t size : kBufferSizes) {
        std::vector<uint8_t> b(size);
        for (auto& x : b)
            x = static_cast<uint8_t>(gen());
        buffers.push_back(std::move(b));
    }

#if defined(VEXMAR_CRC32_CLMUL)
    const char* path = vexmar::cpuHasClmul() ? "PCLMULQDQ folding" : "slice-by-16";
#else
    const char* path = "slice-by-16";
#endif
    std::printf("Our CRC-32 runs %s on this processor; zlib %s.\n\n", path, zlibVersion());
    bool ok = compare("CRC-32", 0,
                      {{"ours", oursCrc}, {"ours slice16", oursSlice16}, {"zlib crc32", zlibCrc}},
                      buffers);
    ok = compare("Adler-32", vexmar::kAdler32Start,
                 {{"ours", oursAdler}, {"zlib adler32", zlibAdler}}, buffers) &&
         ok;
    return ok ? 0 : 1;
}
