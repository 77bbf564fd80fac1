// Threads that construct their first CRC engines at the same moment must all find the table
// complete. The race is run in a fresh process (the death-test machinery starts the test program
// again), so that no earlier test has built the table already.
#include "zip/base/checksum/CrcTables.h"
#include "zip/base/checksum/ZipCRC.h"
#include "tests/unit/checksum/ChecksumData.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <latch>
#include <thread>
#include <vector>

using namespace vexmar;

namespace {

// The CRC register fed one bit at a time, touching no table.
uint32_t feedBits(uint32_t v, uint8_t byte) {
    v ^= byte;
    for (int i = 0; i < 8; ++i)
        v = (v & 1) ? (v >> 1) ^ 0xEDB88320u : v >> 1;
    return v;
}

uint32_t bitwiseCrc(const std::vector<uint8_t>& bytes) {
    uint32_t v = 0xFFFFFFFF;
    for (uint8_t b : bytes)
        v = feedBits(v, b);
    return ~v;
}

// Returns the number of threads that saw a wrong table or a wrong CRC.
int raceFirstConstruction() {
    constexpr int kThreads = 8;
    const auto bytes = randomBytes(4096, 5);
    const uint32_t expected = bitwiseCrc(bytes);
    uint32_t expectedTable[256];
    for (uint32_t n = 0; n < 256; ++n)
        expectedTable[n] = feedBits(0, static_cast<uint8_t>(n));

    std::latch start(kThreads);
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) {
        threads.emplace_back([&] {
            start.arrive_and_wait();
            ZipCRC engine;
            engine.update(bytes.data(), bytes.size());
            const auto& table = crcTables().slice[0];
            bool ok = engine.crc() == expected;
            for (uint32_t n = 0; n < 256; ++n)
                ok = ok && table[n] == expectedTable[n];
            if (!ok)
                ++failures;
        });
    }
    for (auto& t : threads)
        t.join();
    return failures;
}

TEST(Crc32DeathTest, ConcurrentFirstConstructionFindsTheTableComplete) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(raceFirstConstruction()), testing::ExitedWithCode(0), "");
}

} // namespace
