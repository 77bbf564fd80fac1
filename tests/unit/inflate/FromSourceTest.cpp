// The whole-source entry point: the zlib wrapper and its Adler-32, where the source is left,
// and the failures it adds: a stream cut short, output beyond the expected size, an abort.
#include "InflateSupport.h"

#include "codecs/inflate/Inflate.h"
#include "zip/base/stream/MemoryDataSource.h"
#include "zip/base/stream/ProgressEvent.h"
#include "zip/base/stream/ProgressMonitor.h"

#include <gtest/gtest.h>

using namespace vexmar;

namespace {

struct SourceRun {
    bool ok;
    Bytes output;
    int64_t sourcePosition;
    LogRecord log;
    int placedWrites;
    bool guardIntact;
};

// With `placed`, the output lends room for the whole limit.
SourceRun inflateAll(const Bytes& stream, bool zlib, uint64_t limit = UINT64_MAX,
                     ProgressMonitor* monitor = nullptr, bool verbose = false,
                     bool placed = false) {
    SourceRun run;
    MemoryDataSource source(stream.data(), stream.size());
    VectorOutput output;
    output.offersRoom = placed;
    output.setProgressByBytes(true);
    RecordingLog log;
    log.setVerbose(verbose);
    run.ok = inflateFromSource(zlib, source, output, false, monitor, log, limit);
    run.log = log.record();
    run.output = std::move(output.written);
    run.sourcePosition = source.position();
    run.placedWrites = output.placedWrites;
    run.guardIntact = output.guardIntact();
    return run;
}

TEST(FromSource, ZlibStreamChecksAdler) {
    const Bytes data = sampleData(Sample::kMixed, 400000, 11);
    const Bytes stream = zlibCompress(data, 6, true);
    SourceRun run = inflateAll(stream, true, UINT64_MAX, nullptr, true);
    ASSERT_TRUE(run.ok);
    EXPECT_TRUE(run.output == data);
    EXPECT_EQ(run.log.data["computedAdler"], run.log.data["receivedAdler"]);

    Bytes corrupt = stream;
    corrupt[corrupt.size() - 2] ^= 0x40;
    run = inflateAll(corrupt, true);
    EXPECT_FALSE(run.ok);
    EXPECT_TRUE(run.log.hasError("Computed and received Adler checksums do NOT match."));
    EXPECT_TRUE(run.output == data);
}

TEST(FromSource, AdlerTrailerSplitAcrossChunks) {
    const Bytes data = sampleData(Sample::kText, 5000, 12);
    const Bytes stream = zlibCompress(data, 9, true);
    for (uint32_t maxChunk : {1u, 3u, 17u}) {
        const DecodeResult r = decodeChunked(stream, {.zlib = true, .maxChunk = maxChunk});
        ASSERT_TRUE(r.ok && r.finished) << maxChunk;
        EXPECT_EQ(r.consumed, stream.size());
        EXPECT_TRUE(r.output == data);
    }
}

TEST(FromSource, InvalidZlibHeadersAreDecodeErrorOne) {
    // Method not 8; window above 32K; preset dictionary; check bits wrong.
    const Bytes headers[] = {{0x79, 0xD8}, {0x88, 0x98}, {0x78, 0xBB}, {0x78, 0x9D}};
    for (const Bytes& header : headers) {
        Bytes stream = header;
        stream.push_back(0x03);
        stream.push_back(0x00);
        const DecodeResult r = decodeChunked(stream, {.zlib = true});
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.decodeError, 1) << int(header[0]) << " " << int(header[1]);
        EXPECT_TRUE(r.log.hasError("inflate decode error."));
    }
    EXPECT_TRUE(decodeChunked({0x78, 0x9C, 0x03, 0x00, 0, 0, 0, 1}, {.zlib = true}).ok);
}

TEST(FromSource, SourceIsLeftJustAfterTheStream) {
    const Bytes data = sampleData(Sample::kText, 100000, 13);
    Bytes stream = zlibCompress(data, 6);
    const size_t streamSize = stream.size();
    stream.insert(stream.end(), 50000, 0xAB);
    const SourceRun run = inflateAll(stream, false);
    ASSERT_TRUE(run.ok);
    EXPECT_TRUE(run.output == data);
    EXPECT_EQ(run.sourcePosition, int64_t(streamSize));
}

// A source that cannot go back to the end of the stream would leave what follows to be read
// from the wrong place: the run fails instead of reporting success.
TEST(FromSource, SourceThatCannotSeekBackFails) {
    struct NoSeekBack : MemoryDataSource {
        using MemoryDataSource::MemoryDataSource;
        bool seekRelative(int64_t) override { return false; }
    };
    const Bytes data = sampleData(Sample::kText, 100000, 13);
    Bytes stream = zlibCompress(data, 6);
    stream.insert(stream.end(), 50000, 0xAB);
    NoSeekBack source(stream.data(), stream.size());
    VectorOutput output;
    RecordingLog log;
    EXPECT_FALSE(inflateFromSource(false, source, output, false, nullptr, log, UINT64_MAX));
    EXPECT_TRUE(log.hasError("Failed to seek back to the end of the compressed data."));
}

TEST(FromSource, StreamCutShortFails) {
    const Bytes data = sampleData(Sample::kText, 200000, 14);
    const Bytes stream = zlibCompress(data, 6);
    for (size_t keep : {size_t(0), size_t(1), stream.size() / 2, stream.size() - 1}) {
        const Bytes cut(stream.begin(), stream.begin() + keep);
        const SourceRun run = inflateAll(cut, false);
        EXPECT_FALSE(run.ok) << keep;
        EXPECT_TRUE(run.log.hasError("Deflate data ends before its final block."));
        EXPECT_TRUE(run.log.hasError("Inflate from source failed."));
        EXPECT_TRUE(std::equal(run.output.begin(), run.output.end(), data.begin()));
    }
    // A stored block of length 0 is all a stream needs to end.
    EXPECT_TRUE(inflateAll({0x01, 0x00, 0x00, 0xFF, 0xFF}, false).ok);
}

TEST(FromSource, OutputUpToTheLimitDecodes) {
    // A limit below the window's usual area makes a smaller one, which must still do. In the
    // output's room, the sizes around the fast loop's margin (a longest match, three literals
    // and the overrun of word copies) end the stream on either side of it.
    for (bool placed : {false, true})
        for (size_t size : {0, 1, 260, 261, 262, 292, 293, 294, 295, 3000, 4095, 4096, 70000}) {
            for (int level : {1, 9}) {
                const Bytes data = sampleData(Sample::kMixed, size, 17);
                const SourceRun run = inflateAll(zlibCompress(data, level), false, data.size(),
                                                 nullptr, false, placed);
                ASSERT_TRUE(run.ok) << size << " " << placed;
                EXPECT_TRUE(run.output == data) << size << " " << placed;
                EXPECT_EQ(run.placedWrites > 0, placed && size > 0) << size;
                EXPECT_TRUE(run.guardIntact) << size;
            }
        }
}

TEST(FromSource, OutputBeyondTheLimitFails) {
    const Bytes data = sampleData(Sample::kMixed, 600000, 15);
    const Bytes stream = zlibCompress(data, 6);
    for (bool placed : {false, true}) {
        EXPECT_TRUE(inflateAll(stream, false, data.size(), nullptr, false, placed).ok);
        for (uint64_t limit : {uint64_t(0), uint64_t(1000), uint64_t(data.size() - 1)}) {
            const SourceRun run = inflateAll(stream, false, limit, nullptr, false, placed);
            EXPECT_FALSE(run.ok) << limit;
            EXPECT_TRUE(run.log.hasError("Inflated data is larger than the expected size."));
            EXPECT_LE(run.output.size(), limit);
            EXPECT_TRUE(std::equal(run.output.begin(), run.output.end(), data.begin()));
            EXPECT_TRUE(run.guardIntact) << limit;
        }
    }
}

class AbortAtFirstPercent : public ProgressEvent {
public:
    void percentDone(int32_t, bool* abort) override { *abort = true; }
};

TEST(FromSource, AbortThroughTheMonitorFails) {
    const Bytes data = sampleData(Sample::kText, 3000000, 16);
    const Bytes stream = zlibCompress(data, 6);
    AbortAtFirstPercent sink;
    ProgressMonitor monitor(&sink, 0, int64_t(data.size()));
    const SourceRun run = inflateAll(stream, false, UINT64_MAX, &monitor);
    EXPECT_FALSE(run.ok);
    EXPECT_TRUE(run.log.hasError("Output aborted by application callback."));
    EXPECT_LT(run.output.size(), data.size());
}

} // namespace
