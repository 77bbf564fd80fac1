#include "codecs/bzip2/Bzip2Decode.h"

#include "zip/base/LogBase.h"
#include "zip/base/LogContextExitor.h"
#include "zip/base/stream/DataSource.h"
#include "zip/base/stream/Output.h"

#include <bzlib.h>
#include <memory>

namespace vexmar {

namespace {

// libbz2 is fed and drained in pieces of this size.
constexpr unsigned kPiece = 20000;

struct Bz2Stream {
    bz_stream s{};
    bool open = false;
    ~Bz2Stream() {
        if (open)
            BZ2_bzDecompressEnd(&s);
    }
};

} // namespace

bool bzip2FromSource(DataSource& source, Output& output, ProgressMonitor* monitor, LogBase& log) {
    LogContextExitor ctx(log, "bzip2Decompress");
    auto in = std::make_unique<uint8_t[]>(kPiece);
    auto out = std::make_unique<uint8_t[]>(kPiece);
    Bz2Stream bz;
    if (BZ2_bzDecompressInit(&bz.s, 0, 0) != BZ_OK) {
        log.logError("Failed to initialize bzip2 decompression.");
        return false;
    }
    bz.open = true;

    bool sourceDone = false;
    for (;;) {
        if (bz.s.avail_in == 0 && !sourceDone) {
            uint32_t count = 0;
            bool atEnd = false;
            if (!source.read(in.get(), kPiece, count, atEnd, monitor, log)) {
                log.logError("Failed to read bzip2 compressed data.");
                return false;
            }
            sourceDone = atEnd || count == 0;
            bz.s.next_in = reinterpret_cast<char*>(in.get());
            bz.s.avail_in = count;
        }
        bz.s.next_out = reinterpret_cast<char*>(out.get());
        bz.s.avail_out = kPiece;
        const unsigned availIn = bz.s.avail_in;
        const int rc = BZ2_bzDecompress(&bz.s);
        if (rc != BZ_OK && rc != BZ_STREAM_END) {
            log.logError("bzip2 data is corrupt.");
            log.logDataInt("bzip2Error", rc);
            return false;
        }
        const unsigned produced = kPiece - bz.s.avail_out;
        if (produced != 0 && !output.write(out.get(), produced, monitor, log)) {
            log.logError("Failed to write bzip2 decompressed data.");
            return false;
        }
        if (rc == BZ_STREAM_END)
            return true;
        // Neither input taken nor output made with nothing more to read: the stream
        // stops short of its end.
        if (sourceDone && bz.s.avail_in == availIn && produced == 0) {
            log.logError("bzip2 data ends before the end of its stream.");
            return false;
        }
    }
}

} // namespace vexmar
