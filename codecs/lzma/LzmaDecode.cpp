#include "codecs/lzma/LzmaDecode.h"

#include "codecs/lzma/LzmaProperties.h"
#include "codecs/lzma/LzmaStream.h"
#include "zip/base/LogBase.h"
#include "zip/base/LogContextExitor.h"
#include "zip/base/stream/DataSource.h"

namespace vexmar {

bool lzmaFromSource(DataSource& source, Output& output, uint64_t uncompressedSize,
                    ProgressMonitor* monitor, LogBase& log) {
    uint8_t header[4 + lzma::kPropertiesSize];
    if (source.readExactly(header, 4, monitor, log) != 4) {
        log.logError("Failed to read initial 4 bytes of LZMA entry.");
        return false;
    }
    LogContextExitor ctx(log, "lzmaDecompress");
    // The first two bytes are the version of the encoder that wrote the entry; any will do.
    const uint32_t propsSize = header[2] | (header[3] << 8);
    if (propsSize != lzma::kPropertiesSize ||
        source.readExactly(header + 4, lzma::kPropertiesSize, monitor, log) !=
            lzma::kPropertiesSize) {
        log.logError("Invalid LZMA properties header.");
        log.logDataInt("propertiesSize", static_cast<int>(propsSize));
        return false;
    }
    lzma::Properties properties;
    if (!lzma::parseProperties(header + 4, properties)) {
        log.logError("Invalid LZMA properties.");
        return false;
    }
    if (uncompressedSize == 0)
        return true;
    return lzma::decodeStream(properties, source, output, uncompressedSize, monitor, log);
}

} // namespace vexmar
