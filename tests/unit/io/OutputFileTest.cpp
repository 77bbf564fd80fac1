#include "zip/io/OutputFile.h"
#include "tests/unit/fs/ScratchDir.h"
#include "zip/base/DataBuffer.h"
#include "zip/base/LogNull.h"
#include "zip/base/checksum/Adler32.h"
#include "zip/base/fs/FileSys.h"
#include "zip/io/OutputDataBuffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

using namespace vexmar;

namespace {

struct PassTransform : DataTransform {
    bool transform(uint8_t*, uint32_t, LogBase&) override { return true; }
};

using scratch::X;

std::string contents(const DataBuffer& buffer) {
    return std::string(reinterpret_cast<const char*>(buffer.getData()), buffer.getSize());
}

TEST(OutputFile, CreateReplacesAnyOldFile) {
    scratch::Dir dir;
    const std::string path = dir["out.bin"];
    scratch::writeAll(path, std::string(100, 'o'));
    LogNull log;
    {
        std::unique_ptr<OutputFile> out = OutputFile::createForPath(path.c_str(), log);
        ASSERT_NE(out, nullptr);
        EXPECT_EQ(out->kind(), Output::kFile);
        ASSERT_TRUE(out->write("abc", 3, nullptr, log));
    }
    EXPECT_EQ(scratch::readAll(path), "abc");

    Logger failed;
    EXPECT_EQ(OutputFile::createForPath(dir["no/dir/out.bin"].c_str(), failed), nullptr);
    EXPECT_NE(scratch::logText(failed).find("Failed to open file"), std::string::npos);
}

TEST(OutputFile, SeeksOverwriteAndTheEndIsTheHighWaterMark) {
    scratch::Dir dir;
    const std::string path = dir["seek.bin"];
    LogNull log;
    std::unique_ptr<OutputFile> out = OutputFile::createForPath(path.c_str(), log);
    ASSERT_NE(out, nullptr);
    ASSERT_TRUE(out->write("0123456789", 10, nullptr, log));
    ASSERT_TRUE(out->seekAbsolute(2, log));
    EXPECT_EQ(out->position(), 2u);
    ASSERT_TRUE(out->write("ab", 2, nullptr, log));
    EXPECT_EQ(out->position(), 4u);
    ASSERT_TRUE(out->seekToEnd(log));
    EXPECT_EQ(out->position(), 10u);
    ASSERT_TRUE(out->write("!", 1, nullptr, log));
    EXPECT_EQ(out->bytesWritten(), 13u);
    EXPECT_EQ(out->totalWritten(), 13u);
    out->close();
    EXPECT_EQ(scratch::readAll(path), "01ab456789!");
}

TEST(OutputFile, ResetStartsAnEmptyFile) {
    scratch::Dir dir;
    const std::string path = dir["reset.bin"];
    LogNull log;
    std::unique_ptr<OutputFile> out = OutputFile::createForPath(path.c_str(), log);
    ASSERT_NE(out, nullptr);
    ASSERT_TRUE(out->write("0123456789", 10, nullptr, log));
    // Even with the position moved back to 0 the old bytes must go.
    ASSERT_TRUE(out->seekAbsolute(0, log));
    ASSERT_TRUE(out->reset(log));
    EXPECT_EQ(out->position(), 0u);
    EXPECT_EQ(out->bytesWritten(), 0u);
    ASSERT_TRUE(out->write("new", 3, nullptr, log));
    out->close();
    EXPECT_EQ(scratch::readAll(path), "new");
}

TEST(OutputFile, WriteFailsWhenNotOpen) {
    OutputFile out("unused");
    Logger log;
    EXPECT_FALSE(out.write("x", 1, nullptr, log));
    EXPECT_TRUE(out.hasError());
    EXPECT_NE(scratch::logText(log).find("Failed to write because file is not open."),
              std::string::npos);
}

TEST(OutputFile, SetFileTimeThroughHandleOrPath) {
    scratch::Dir dir;
    const std::string path = dir["timed.bin"];
    LogNull log;
    const uint16_t date = (41 << 9) | (7 << 5) | 15; // 2021-07-15
    const uint16_t time = 12 << 11;
    const os::FileTime expected = FileSys::fileTimeFromDos(date, time);
    {
        OutputFile out(path.c_str());
        out.handle() = FileSys::openForWriteWin32(X(path), nullptr, nullptr);
        ASSERT_TRUE(out.isOpen());
        ASSERT_TRUE(out.write("x", 1, nullptr, log));
        ASSERT_TRUE(out.setFileTime(date, time, log));
        out.close();
        ASSERT_TRUE(out.setFileTime(date, time, log));
    }
    VexmarHandle file = FileSys::openForReadWin32(X(path), nullptr, nullptr);
    os::FileTime written = 0;
    ASSERT_TRUE(file.lastWriteTime(written, nullptr));
    EXPECT_EQ(written, expected);

    OutputFile unnamed("");
    Logger failed;
    EXPECT_FALSE(unnamed.setFileTime(date, time, failed));
    EXPECT_NE(scratch::logText(failed).find(
                  "Cannot set file time because output file path is empty. (1a)"),
              std::string::npos);
}

TEST(OutputDataBuffer, AppendsOverwritesAndPadsGaps) {
    DataBuffer buffer;
    ASSERT_TRUE(buffer.append("abc", 3));
    OutputDataBuffer out(&buffer);
    LogNull log;
    EXPECT_EQ(out.kind(), Output::kMemory);
    EXPECT_EQ(out.position(), 3u);
    ASSERT_TRUE(out.write("def", 3, nullptr, log));
    EXPECT_EQ(contents(buffer), "abcdef");
    ASSERT_TRUE(out.seekAbsolute(1, log));
    ASSERT_TRUE(out.write("XY", 2, nullptr, log));
    EXPECT_EQ(contents(buffer), "aXYdef");
    ASSERT_TRUE(out.seekAbsolute(9, log));
    ASSERT_TRUE(out.write("Z", 1, nullptr, log));
    EXPECT_EQ(contents(buffer), std::string("aXYdef\0\0\0Z", 10));
    ASSERT_TRUE(out.seekAbsolute(8, log));
    ASSERT_TRUE(out.write("12", 2, nullptr, log));
    EXPECT_EQ(contents(buffer), std::string("aXYdef\0\0"
                                            "12",
                                            10));
    EXPECT_EQ(out.position(), 10u);

    EXPECT_FALSE(out.seekAbsolute(uint64_t(1) << 32, log));
    ASSERT_TRUE(out.reset(log));
    EXPECT_EQ(buffer.getSize(), 0u);
    EXPECT_EQ(out.position(), 0u);
}

TEST(OutputDataBuffer, BorrowedBlocksAreCopiedBeforeWriting) {
    const char original[] = "keep";
    DataBuffer buffer;
    buffer.borrow(original, 4);
    OutputDataBuffer out(&buffer);
    LogNull log;
    ASSERT_TRUE(out.seekAbsolute(0, log));
    ASSERT_TRUE(out.write("K", 1, nullptr, log));
    EXPECT_EQ(contents(buffer), "Keep");
    EXPECT_STREQ(original, "keep");
}

TEST(OutputDataBuffer, BytesPlacedInItsRoomAreAppended) {
    DataBuffer buffer;
    ASSERT_TRUE(buffer.append("abc", 3));
    OutputDataBuffer out(&buffer);
    Logger log;
    out.setComputeAdler(true);
    uint8_t* room = out.placeArea(1000);
    ASSERT_NE(room, nullptr);
    std::memcpy(room, "defgh", 5);
    ASSERT_TRUE(out.writePlaced(room, 3, nullptr, log));
    ASSERT_TRUE(out.writePlaced(room + 3, 2, nullptr, log));
    EXPECT_EQ(contents(buffer), "abcdefgh");
    EXPECT_EQ(out.position(), 8u);
    EXPECT_EQ(out.totalWritten(), 5u);
    EXPECT_EQ(out.adler32(), vexmar::adler32Update(vexmar::kAdler32Start,
                                                   reinterpret_cast<const uint8_t*>("defgh"), 5));
    // Bytes that are not where the buffer goes on are refused, and the output fails from then.
    room = out.placeArea(10);
    ASSERT_NE(room, nullptr);
    EXPECT_FALSE(out.writePlaced(room + 1, 2, nullptr, log));
    EXPECT_TRUE(out.hasError());
    EXPECT_EQ(out.placeArea(10), nullptr);
    EXPECT_EQ(contents(buffer), "abcdefgh");
}

TEST(OutputDataBuffer, OffersNoRoomWhereWritesAreNeeded) {
    DataBuffer buffer;
    LogNull log;
    // Data on its way to a file, a gap to pad, data to overwrite, a transform, and more than the
    // buffer may grow by for a size that may be overstated.
    OutputDataBuffer rerouting(&buffer);
    rerouting.setReroute(100, "unused.bin");
    EXPECT_EQ(rerouting.placeArea(200), nullptr);
    EXPECT_NE(rerouting.placeArea(50), nullptr);
    OutputDataBuffer gap(&buffer);
    ASSERT_TRUE(gap.seekAbsolute(10, log));
    EXPECT_EQ(gap.placeArea(5), nullptr);
    DataBuffer held;
    ASSERT_TRUE(held.append("abcdef", 6));
    OutputDataBuffer overwriting(&held);
    ASSERT_TRUE(overwriting.seekAbsolute(2, log));
    EXPECT_EQ(overwriting.placeArea(2), nullptr);
    OutputDataBuffer transformed(&buffer);
    transformed.setTransform(std::make_unique<PassTransform>());
    EXPECT_EQ(transformed.placeArea(5), nullptr);
    OutputDataBuffer huge(&buffer);
    EXPECT_EQ(huge.placeArea(uint64_t(1) << 30), nullptr);
    EXPECT_EQ(buffer.getSize(), 0u);
}

TEST(OutputDataBuffer, ReroutesToAFileWhenLarge) {
    scratch::Dir dir;
    const std::string path = dir["rerouted.bin"];
    DataBuffer buffer;
    Logger log;
    {
        OutputDataBuffer out(&buffer);
        out.setReroute(16, path.c_str());
        ASSERT_TRUE(out.write("0123456", 7, nullptr, log));
        EXPECT_FALSE(out.isRerouted());
        ASSERT_TRUE(out.write("789abcdef", 9, nullptr, log));
        EXPECT_TRUE(out.isRerouted());
        EXPECT_EQ(buffer.getSize(), 0u);
        ASSERT_TRUE(out.write("!", 1, nullptr, log));
        EXPECT_EQ(out.position(), 17u);
    }
    EXPECT_NE(scratch::logText(log).find("Rerouting in-memory output to file because of size."),
              std::string::npos);
    // The file is shared with nobody while the output holds it.
    EXPECT_EQ(scratch::readAll(path), "0123456789abcdef!");
}

TEST(OutputDataBuffer, StaysInMemoryWhenTheRerouteFileFails) {
    scratch::Dir dir;
    DataBuffer buffer;
    OutputDataBuffer out(&buffer);
    out.setReroute(4, dir["missing/dir/file.bin"].c_str());
    LogNull log;
    ASSERT_TRUE(out.write("0123456789", 10, nullptr, log));
    EXPECT_FALSE(out.isRerouted());
    EXPECT_EQ(contents(buffer), "0123456789");
}

TEST(OutputDataBuffer, NoBufferNoWrite) {
    OutputDataBuffer out(nullptr);
    LogNull log;
    EXPECT_FALSE(out.write("x", 1, nullptr, log));
    EXPECT_TRUE(out.hasError());
    EXPECT_FALSE(out.seekAbsolute(0, log));
}

} // namespace
