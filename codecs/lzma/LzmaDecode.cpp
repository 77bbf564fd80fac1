#include "codecs/lzma/LzmaDecode.h"

#include "zip/base/LogBase.h"
#include "zip/base/LogContextExitor.h"
#include "zip/base/stream/DataSource.h"
#include "zip/base/stream/Output.h"

#include <cstdlib>
#include <lzma.h>
#include <memory>

namespace vexmar {

namespace {

constexpr uint32_t kPiece = 65536;
constexpr uint32_t kPropertiesSize = 5;

struct LzmaStream {
    lzma_stream s = LZMA_STREAM_INIT;
    lzma_options_lzma* options = nullptr;
    ~LzmaStream() {
        lzma_end(&s);
        std::free(options);
    }
};

// A dictionary larger than the whole output is never used; capping it keeps a
// header that asks for gigabytes from costing them.
void capDictionary(lzma_options_lzma& options, uint64_t uncompressedSize) {
    uint64_t cap = uncompressedSize < LZMA_DICT_SIZE_MIN ? LZMA_DICT_SIZE_MIN : uncompressedSize;
    if (options.dict_size > cap)
        options.dict_size = static_cast<uint32_t>(cap);
}

} // namespace

bool lzmaFromSource(DataSource& source, Output& output, uint64_t uncompressedSize,
                    ProgressMonitor* monitor, LogBase& log) {
    uint8_t header[4 + kPropertiesSize];
    if (source.readExactly(header, 4, monitor, log) != 4) {
        log.logError("Failed to read initial 4 bytes of LZMA entry.");
        return false;
    }
    LogContextExitor ctx(log, "lzmaDecompress");
    const uint32_t propsSize = header[2] | (header[3] << 8);
    if (propsSize != kPropertiesSize ||
        source.readExactly(header + 4, kPropertiesSize, monitor, log) != kPropertiesSize) {
        log.logError("Invalid LZMA properties header.");
        log.logDataInt("propertiesSize", static_cast<int>(propsSize));
        return false;
    }

    LzmaStream lz;
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
    if (lzma_properties_decode(&filters[0], nullptr, header + 4, kPropertiesSize) != LZMA_OK) {
        log.logError("Invalid LZMA properties.");
        return false;
    }
    lz.options = static_cast<lzma_options_lzma*>(filters[0].options);
    capDictionary(*lz.options, uncompressedSize);
    const lzma_ret init = lzma_raw_decoder(&lz.s, filters);
    if (init != LZMA_OK) {
        log.logError(init == LZMA_MEM_ERROR ? "Not enough memory for the LZMA decoder."
                                            : "Failed to initialize LZMA decompression.");
        log.logDataInt64("dictionarySize", lz.options->dict_size);
        return false;
    }

    auto in = std::make_unique<uint8_t[]>(kPiece);
    auto out = std::make_unique<uint8_t[]>(kPiece);
    uint64_t remaining = uncompressedSize;
    bool sourceDone = false;
    while (remaining != 0) {
        if (lz.s.avail_in == 0 && !sourceDone) {
            uint32_t count = 0;
            bool atEnd = false;
            if (!source.read(in.get(), kPiece, count, atEnd, monitor, log)) {
                log.logError("Failed to read LZMA compressed data.");
                return false;
            }
            sourceDone = atEnd || count == 0;
            lz.s.next_in = in.get();
            lz.s.avail_in = count;
        }
        const size_t room = remaining < kPiece ? static_cast<size_t>(remaining) : kPiece;
        lz.s.next_out = out.get();
        lz.s.avail_out = room;
        const size_t availIn = lz.s.avail_in;
        const lzma_ret rc = lzma_code(&lz.s, LZMA_RUN);
        if (rc != LZMA_OK && rc != LZMA_STREAM_END) {
            log.logError("LZMA data is corrupt.");
            log.logDataInt("lzmaError", static_cast<int>(rc));
            return false;
        }
        const size_t produced = room - lz.s.avail_out;
        if (produced != 0 && !output.write(out.get(), produced, monitor, log)) {
            log.logError("Failed to write LZMA decompressed data.");
            return false;
        }
        remaining -= produced;
        if (rc == LZMA_STREAM_END)
            break;
        if (sourceDone && lz.s.avail_in == availIn && produced == 0) {
            log.logError("LZMA data ends before the entry's size is reached.");
            return false;
        }
    }
    return true;
}

} // namespace vexmar
