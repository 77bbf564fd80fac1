#include "tests/support/ZipBuilder.h"

namespace testzip {

std::string le16(uint16_t v) {
    return {char(v & 0xFF), char(v >> 8)};
}
std::string le32(uint32_t v) {
    return le16(uint16_t(v)) + le16(uint16_t(v >> 16));
}
std::string le64(uint64_t v) {
    return le32(uint32_t(v)) + le32(uint32_t(v >> 32));
}

std::string extraField(uint16_t id, const std::string& data) {
    return le16(id) + le16(uint16_t(data.size())) + data;
}

// Bit at a time, so that the tests do not lean on the engine's own CRC code.
uint32_t crc32(const std::string& data) {
    uint32_t crc = 0xFFFFFFFF;
    for (unsigned char c : data) {
        crc ^= c;
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

std::string build(const std::vector<Entry>& entries, const Options& options) {
    std::string out = options.prefix;
    std::string central;
    for (const Entry& e : entries) {
        const uint32_t crc = e.crc32.value_or(crc32(e.data));
        const uint32_t csize = e.compressedSize.value_or(uint32_t(e.data.size()));
        const uint32_t usize = e.uncompressedSize.value_or(uint32_t(e.data.size()));
        const uint32_t localOffset = e.localOffset.value_or(uint32_t(out.size()));
        const std::string common = le16(e.flags) + le16(e.method) + le16(e.dosTime) +
                                   le16(e.dosDate) + le32(crc) + le32(csize) + le32(usize) +
                                   le16(uint16_t(e.name.size()));
        out += "PK\x03\x04" + le16(20) + common + le16(uint16_t(e.localExtra.size())) + e.name +
               e.localExtra + e.data;
        central += "PK\x01\x02" + le16(e.versionMadeBy) + le16(20) + common +
                   le16(uint16_t(e.centralExtra.size())) + le16(uint16_t(e.comment.size())) +
                   le16(0) + le16(0) + le32(e.externalAttributes) + le32(localOffset) + e.name +
                   e.centralExtra + e.comment;
    }
    const uint64_t cdOffset = options.centralDirOffset.value_or(uint32_t(out.size()));
    const uint64_t count = entries.size();
    out += central;
    if (options.zip64) {
        const uint64_t recordOffset = out.size();
        out += "PK\x06\x06" + le64(44) + le16(45) + le16(45) + le32(0) + le32(0) +
               le64(options.zip64EntryCount.value_or(count)) +
               le64(options.zip64EntryCount.value_or(count)) + le64(central.size()) +
               le64(cdOffset);
        out += "PK\x06\x07" + le32(0) + le64(recordOffset) + le32(1);
    }
    const bool sat = options.saturateEndRecord;
    const uint16_t count16 = sat ? 0xFFFF : options.entryCount.value_or(uint16_t(count));
    out += "PK\x05\x06" + le16(0) + le16(0) + le16(count16) + le16(count16) +
           le32(sat ? 0xFFFFFFFF : uint32_t(central.size())) +
           le32(sat ? 0xFFFFFFFF : uint32_t(cdOffset)) + le16(uint16_t(options.comment.size())) +
           options.comment;
    return out + options.suffix;
}

} // namespace testzip
