#include "zip/base/checksum/ZipCRC.h"
#include "tests/unit/fs/ScratchDir.h"
#include "tests/unit/io/RecordingSink.h"
#include "zip/central/MemoryData.h"
#include "zip/base/LogNull.h"
#include "zip/io/FileDataSource.h"
#include "zip/io/MemDataObjSource.h"
#include "zip/base/stream/MemoryDataSource.h"
#include "zip/base/stream/Output.h"
#include "zip/base/stream/ProgressMonitor.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace vexmar;

namespace {

std::string pattern(size_t n) {
    std::string text(n, '\0');
    for (size_t i = 0; i < n; ++i)
        text[i] = char(i * 13 + 1);
    return text;
}

struct SinkOutput : Output {
    SinkOutput() : Output(kMemory) {}
    std::string bytes;
    std::vector<uint64_t> rawWrites;
    bool writeRaw(const uint8_t* data, uint64_t length, ProgressMonitor*, LogBase&) override {
        rawWrites.push_back(length);
        bytes.append(reinterpret_cast<const char*>(data), size_t(length));
        return true;
    }
};

struct AddOne : DataTransform {
    bool transform(uint8_t* bytes, uint32_t n, LogBase&) override {
        for (uint32_t i = 0; i < n; ++i)
            ++bytes[i];
        return true;
    }
};

// A source whose reads fail.
struct BrokenSource : DataSource {
    bool atEnd() override { return false; }
    bool readRaw(uint8_t*, uint32_t, uint32_t&, bool&, ProgressMonitor*, LogBase&) override {
        return false;
    }
};

std::string readAll(DataSource& source, uint32_t chunk) {
    std::string out;
    std::vector<uint8_t> buffer(chunk);
    LogNull log;
    for (;;) {
        uint32_t count = 0;
        bool end = false;
        EXPECT_TRUE(source.read(buffer.data(), chunk, count, end, nullptr, log));
        out.append(reinterpret_cast<const char*>(buffer.data()), count);
        if (end)
            return out;
    }
}

TEST(MemoryDataSource, ReadsSeeksAndScans) {
    const std::string data = "..PK\x01\x02..PK\x05\x06..";
    MemoryDataSource source(data.data(), data.size());
    EXPECT_EQ(readAll(source, 5), data);
    EXPECT_TRUE(source.atEnd());

    struct SeekCase {
        bool relative;
        int64_t value;
        int64_t expected;
    };
    const SeekCase seeks[] = {{false, 4, 4},   {false, -3, 0}, {false, 99, 14},
                              {true, -100, 0}, {true, 5, 5},   {true, 100, 14}};
    for (const SeekCase& s : seeks) {
        source.seekAbsolute(s.relative ? 0 : 7);
        if (s.relative) {
            source.seekRelative(s.value);
        } else {
            source.seekAbsolute(s.value);
        }
        EXPECT_EQ(source.position(), s.expected) << s.value;
    }

    source.rewind();
    EXPECT_TRUE(source.scanForUint32(0x06054B50));
    EXPECT_EQ(source.position(), 12);
    EXPECT_FALSE(source.scanForUint32(0x06054B50));
    EXPECT_EQ(source.position(), 14);
    EXPECT_TRUE(source.atEnd());
}

TEST(DataSource, ReadKeepsTotalsCrcAndTransforms) {
    const std::string data = pattern(1000);
    MemoryDataSource source(data.data(), data.size());
    source.setComputeCrc(true);
    source.setTransform(std::make_unique<AddOne>());
    const std::string read = readAll(source, 300);
    std::string expected = data;
    for (char& c : expected)
        ++c;
    EXPECT_EQ(read, expected);
    EXPECT_EQ(source.totalRead(), 1000u);
    // The CRC is of the bytes as stored, before the transform.
    EXPECT_EQ(source.crc(), vexmar::crc32Buffer(data.data(), data.size()));
}

TEST(DataSource, AbortDuringReadFails) {
    const std::string data = pattern(100);
    MemoryDataSource source(data.data(), data.size());
    source.setProgressByBytes(true);
    RecordingSink sink;
    sink.abortOnPercentCall = 1;
    ProgressMonitor monitor(&sink, 0, 100);
    Logger log;
    uint8_t buffer[10];
    uint32_t count = 0;
    bool end = false;
    EXPECT_FALSE(source.read(buffer, 10, count, end, &monitor, log));
    EXPECT_NE(scratch::logText(log).find("Source read aborted by application callback."),
              std::string::npos);
    EXPECT_EQ(source.readExactly(buffer, 10, &monitor, log), 0u);
    EXPECT_NE(scratch::logText(log).find("Read source bytes aborted by application callback."),
              std::string::npos);
}

TEST(DataSource, ReadExactlyAndSkip) {
    const std::string data = pattern(50000);
    MemoryDataSource source(data.data(), data.size());
    LogNull log;
    std::vector<uint8_t> buffer(100);
    EXPECT_EQ(source.readExactly(buffer.data(), 10, nullptr, log), 10u);
    ASSERT_TRUE(source.skipBytes(45000, nullptr, log));
    EXPECT_EQ(source.position(), 45010);
    EXPECT_EQ(source.readExactly(buffer.data(), 100, nullptr, log), 100u);
    EXPECT_EQ(std::memcmp(buffer.data(), data.data() + 45010, 100), 0);
    ASSERT_TRUE(source.skipBytes(1000000, nullptr, log));
    EXPECT_TRUE(source.atEnd());
    EXPECT_EQ(source.readExactly(buffer.data(), 100, nullptr, log), 0u);
    EXPECT_EQ(source.totalRead(), 50000u);
}

TEST(DataSource, CopyToOutputInChunks) {
    const std::string data = pattern(45000);
    MemoryDataSource source(data.data(), data.size());
    source.setComputeCrc(true);
    SinkOutput out;
    out.setProgressByBytes(true);
    RecordingSink sink;
    ProgressMonitor monitor(&sink, 0, 45000);
    LogNull log;
    uint64_t total = 0;
    ASSERT_TRUE(source.copyToOutput(out, total, &monitor, log));
    EXPECT_EQ(total, 45000u);
    EXPECT_EQ(out.bytes, data);
    EXPECT_EQ(out.rawWrites, (std::vector<uint64_t>{20000, 20000, 5000}));
    EXPECT_EQ(source.crc(), vexmar::crc32Buffer(data.data(), data.size()));
    EXPECT_EQ(sink.percents, (std::vector<int32_t>{44, 88, 100}));
}

struct CopyFailureCase {
    const char* what;
    bool sourceByBytes;
    bool outputByBytes;
    const char* message;
};

TEST(DataSource, CopyToOutputStopsOnAbort) {
    const CopyFailureCase cases[] = {
        {"abort seen by the output", false, true, "Failed to write data to output."},
        {"abort seen by the copy", true, false,
         "Copy-to-output aborted in application event callback."},
    };
    for (const CopyFailureCase& c : cases) {
        const std::string data = pattern(45000);
        MemoryDataSource source(data.data(), data.size());
        source.setProgressByBytes(c.sourceByBytes);
        SinkOutput out;
        out.setProgressByBytes(c.outputByBytes);
        RecordingSink sink;
        sink.abortOnPercentCall = 1;
        ProgressMonitor monitor(&sink, 0, 45000);
        Logger log;
        uint64_t total = 0;
        EXPECT_FALSE(source.copyToOutput(out, total, &monitor, log)) << c.what;
        EXPECT_EQ(total, 20000u) << c.what;
        EXPECT_NE(scratch::logText(log).find(c.message), std::string::npos) << c.what;
    }

    BrokenSource broken;
    SinkOutput out;
    Logger log;
    uint64_t total = 0;
    EXPECT_FALSE(broken.copyToOutput(out, total, nullptr, log));
    EXPECT_NE(scratch::logText(log).find("Failed to read more from data source."),
              std::string::npos);
}

TEST(MemDataObjSource, ReadsAWindowOfTheImage) {
    const std::string bytes = "0123456789ABC";
    MemoryData image;
    auto* block = static_cast<uint8_t*>(std::malloc(bytes.size()));
    std::memcpy(block, bytes.data(), bytes.size());
    image.adopt(block, uint32_t(bytes.size()));

    MemDataObjSource source;
    source.setup(&image, 3, 5);
    EXPECT_EQ(readAll(source, 2), "34567");
    EXPECT_TRUE(source.atEnd());
    EXPECT_EQ(source.position(), 5);
    source.seekRelative(-2);
    EXPECT_EQ(readAll(source, 8), "67");
    source.seekAbsolute(-4);
    EXPECT_EQ(source.position(), 0);
    source.seekAbsolute(40);
    EXPECT_EQ(source.position(), 5);
    source.rewind();
    EXPECT_EQ(readAll(source, 100), "34567");

    struct FailCase {
        const MemoryData* image;
        uint64_t start, length;
        bool withBuffer;
        uint32_t max;
        const char* message;
    };
    const FailCase failures[] = {
        {nullptr, 0, 5, true, 5, "Internal error: No memData."},
        {&image, 0, 5, false, 5, "Internal error: No output buffer provided."},
        {&image, 0, 5, true, 0, "Number of bytes received at current index was 0."},
        {&image, 10, 20, true, 8, "Failed to get bytes at current index."},
    };
    for (const FailCase& f : failures) {
        MemDataObjSource failing;
        failing.setup(f.image, f.start, f.length);
        Logger log;
        uint8_t buffer[8];
        uint32_t count = 0;
        bool end = false;
        EXPECT_FALSE(
            failing.readRaw(f.withBuffer ? buffer : nullptr, f.max, count, end, nullptr, log))
            << f.message;
        EXPECT_NE(scratch::logText(log).find(f.message), std::string::npos) << f.message;
    }
}

TEST(FileDataSource, ReadsAFile) {
    scratch::Dir dir;
    const std::string data = pattern(3000);
    scratch::writeAll(dir["source.bin"], data);
    FileDataSource source;
    LogNull log;
    ASSERT_TRUE(source.open(scratch::X(dir["source.bin"]), log));
    EXPECT_EQ(readAll(source, 1000), data);
    ASSERT_TRUE(source.seekAbsolute(2990));
    EXPECT_EQ(source.position(), 2990);
    EXPECT_EQ(readAll(source, 64), data.substr(2990));

    Logger failed;
    FileDataSource missing;
    EXPECT_FALSE(missing.open(scratch::X(dir["missing.bin"]), failed));
    EXPECT_NE(scratch::logText(failed).find("Failed to open file data source."), std::string::npos);
}

} // namespace
