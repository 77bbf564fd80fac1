#include "zip/base/stream/Output.h"
#include "zip/base/checksum/Adler32.h"
#include "os/Clock.h"
#include "tests/unit/io/RecordingSink.h"
#include "zip/base/DataBuffer.h"
#include "zip/base/LogNull.h"
#include "zip/base/Logger.h"
#include "zip/base/stream/BufferedOutput.h"
#include "zip/base/stream/ProgressMonitor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vexmar;

namespace {

std::string logged(Logger& log) {
    StringBuffer out;
    log.errorText(out);
    return out.getString();
}

// Keeps what it is given and the size of every raw write; fails on request.
struct RecordingOutput : Output {
    RecordingOutput() : Output(kMemory) {}
    std::string bytes;
    std::vector<uint64_t> rawWrites;
    bool failRaw = false;

    bool writeRaw(const uint8_t* data, uint64_t length, ProgressMonitor*, LogBase&) override {
        if (failRaw)
            return false;
        rawWrites.push_back(length);
        bytes.append(reinterpret_cast<const char*>(data), size_t(length));
        return true;
    }
    uint64_t position() override { return bytes.size(); }
};

// XOR with 0x5A, remembering the size of every piece; fails on request.
struct XorTransform : DataTransform {
    std::vector<uint32_t>* pieces;
    bool fail = false;
    explicit XorTransform(std::vector<uint32_t>* seen) : pieces(seen) {}
    bool transform(uint8_t* bytes, uint32_t n, LogBase&) override {
        pieces->push_back(n);
        for (uint32_t i = 0; i < n; ++i)
            bytes[i] ^= 0x5A;
        return !fail;
    }
};

std::string pattern(size_t n) {
    std::string text(n, '\0');
    for (size_t i = 0; i < n; ++i)
        text[i] = char(i * 7 + 3);
    return text;
}

TEST(Output, WriteCountsChecksumsAndStores) {
    RecordingOutput out;
    LogNull log;
    out.setComputeAdler(true);
    const std::string data = pattern(70000);
    ASSERT_TRUE(out.write(data.data(), data.size(), nullptr, log));
    EXPECT_TRUE(out.write(nullptr, 5, nullptr, log));
    EXPECT_TRUE(out.write(data.data(), 0, nullptr, log));
    EXPECT_EQ(out.bytes, data);
    EXPECT_EQ(out.rawWrites, std::vector<uint64_t>{70000});
    EXPECT_EQ(out.totalWritten(), 70000u);
    EXPECT_EQ(out.adler32(),
              vexmar::adler32Update(vexmar::kAdler32Start, data.data(), data.size()));
    EXPECT_FALSE(out.hasError());
}

TEST(Output, TransformRunsInPiecesBeforeTheChecksum) {
    RecordingOutput out;
    LogNull log;
    std::vector<uint32_t> pieces;
    out.setTransform(std::make_unique<XorTransform>(&pieces));
    out.setComputeAdler(true);
    const std::string data = pattern(5000);
    ASSERT_TRUE(out.write(data.data(), data.size(), nullptr, log));
    EXPECT_EQ(pieces, (std::vector<uint32_t>{2048, 2048, 904}));
    EXPECT_EQ(out.rawWrites, (std::vector<uint64_t>{2048, 2048, 904}));
    std::string expected = data;
    for (char& c : expected)
        c ^= 0x5A;
    EXPECT_EQ(out.bytes, expected);
    EXPECT_EQ(out.adler32(),
              vexmar::adler32Update(vexmar::kAdler32Start, expected.data(), expected.size()));
    EXPECT_EQ(out.totalWritten(), 5000u);
}

TEST(Output, FailuresSetTheErrorFlag) {
    LogNull log;
    RecordingOutput raw;
    raw.failRaw = true;
    EXPECT_FALSE(raw.write("abc", 3, nullptr, log));
    EXPECT_TRUE(raw.hasError());
    EXPECT_EQ(raw.totalWritten(), 0u);

    RecordingOutput transformed;
    std::vector<uint32_t> pieces;
    auto transform = std::make_unique<XorTransform>(&pieces);
    transform->fail = true;
    transformed.setTransform(std::move(transform));
    EXPECT_FALSE(transformed.write("abc", 3, nullptr, log));
    EXPECT_TRUE(transformed.hasError());
    EXPECT_TRUE(transformed.bytes.empty());
}

TEST(Output, LittleEndianValuesAndBuffers) {
    RecordingOutput out;
    LogNull log;
    ASSERT_TRUE(out.writeLe16(0x0102, nullptr, log));
    ASSERT_TRUE(out.writeLe32(0x03040506, nullptr, log));
    ASSERT_TRUE(out.writeLe64(0x0708090A0B0C0D0EULL, nullptr, log));
    StringBuffer text("xy");
    DataBuffer bytes;
    ASSERT_TRUE(bytes.append("z", 1));
    ASSERT_TRUE(out.write(text, nullptr, log));
    ASSERT_TRUE(out.write(bytes, nullptr, log));
    EXPECT_TRUE(out.write(StringBuffer(), nullptr, log));
    EXPECT_EQ(out.bytes,
              std::string("\x02\x01\x06\x05\x04\x03\x0E\x0D\x0C\x0B\x0A\x09\x08\x07xyz"));
    EXPECT_EQ(out.totalWritten(), 17u);
}

TEST(Output, AbortInPercentDoneFailsTheWriteAndTheNext) {
    RecordingSink sink;
    sink.abortOnPercentCall = 1;
    ProgressMonitor monitor(&sink, 0, 100);
    RecordingOutput out;
    out.setProgressByBytes(true);
    Logger log;
    EXPECT_FALSE(out.write("0123456789", 10, &monitor, log));
    EXPECT_EQ(sink.percents, std::vector<int32_t>{10});
    EXPECT_TRUE(out.hasError());
    EXPECT_NE(logged(log).find("Output aborted by application callback."), std::string::npos);
    EXPECT_FALSE(out.write("0123456789", 10, &monitor, log));
}

TEST(Output, WithoutProgressByBytesOnlyTheHeartbeat) {
    RecordingSink sink;
    ProgressMonitor monitor(&sink, 0, 100);
    RecordingOutput out;
    LogNull log;
    ASSERT_TRUE(out.write("0123456789", 10, &monitor, log));
    EXPECT_EQ(monitor.done(), 0);
    out.setProgressByBytes(true);
    ASSERT_TRUE(out.write("0123456789", 10, &monitor, log));
    EXPECT_EQ(monitor.done(), 10);
}

TEST(Output, StatisticsFollowTheRun) {
    RecordingOutput out;
    LogNull log;
    uint64_t counter = 77;
    uint64_t rate = 77;
    int32_t percent = 77;
    out.watchStatistics(&counter, &rate, &percent, 40);
    out.runBegin();
    EXPECT_EQ(counter, 0u);
    EXPECT_EQ(percent, 0);
    // Longer than the coarsest tick of any system (about 16 ms on Windows).
    os::sleepMs(40);
    ASSERT_TRUE(out.write("0123456789", 10, nullptr, log));
    out.runEnd();
    EXPECT_EQ(counter, 10u);
    EXPECT_EQ(percent, 25);
    EXPECT_GT(rate, 0u);
    // The tick may read a little short of the 40 ms slept (coarse or rounded clocks).
    EXPECT_LE(rate, 10u * 1000 / 20);
}

TEST(BufferedOutput, GathersSmallWrites) {
    RecordingOutput target;
    LogNull log;
    {
        BufferedOutput buffered(&target, 8);
        for (const char* piece : {"abc", "def", "ghi"})
            ASSERT_TRUE(buffered.write(piece, 3, nullptr, log));
        EXPECT_EQ(target.rawWrites, std::vector<uint64_t>{6});
        EXPECT_EQ(buffered.position(), 9u);
        ASSERT_TRUE(buffered.write("0123456789", 10, nullptr, log));
        EXPECT_EQ(target.rawWrites, (std::vector<uint64_t>{6, 3, 10}));
        ASSERT_TRUE(buffered.write("!", 1, nullptr, log));
    }
    EXPECT_EQ(target.bytes, "abcdefghi0123456789!");
}

} // namespace
