#include "PpmdSupport.h"

#include "zip/base/checksum/ZipCRC.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

using namespace vexmar;

namespace {

uint32_t le16(const Bytes& b, size_t at) {
    return b[at] | (b[at + 1] << 8);
}
uint32_t le32(const Bytes& b, size_t at) {
    return le16(b, at) | (le16(b, at + 2) << 16);
}

} // namespace

Bytes sampleData(Sample kind, size_t size, uint32_t seed) {
    static const char* const kWords[] = {"model",  "context", "the",     "escape", "of",
                                         "symbol", "order",   "range",   "coder",  "\n",
                                         "and",    "<item>",  "</item>", "count",  "PPMd"};
    std::mt19937 gen(seed);
    Bytes out;
    out.reserve(size + 64);
    while (out.size() < size) {
        const bool text = kind == Sample::kText || (kind == Sample::kMixed && gen() % 2 == 0);
        const size_t run = kind == Sample::kMixed ? 1 + gen() % 20000 : size;
        for (size_t end = std::min(size, out.size() + run); out.size() < end;) {
            if (text) {
                const std::string word =
                    gen() % 6 == 0 ? std::to_string(gen() % 100000) : kWords[gen() % 15];
                out.insert(out.end(), word.begin(), word.end());
                out.push_back(' ');
            } else {
                // A 16-byte record: a counter, a few slowly varying fields, one noisy byte.
                const uint32_t n = static_cast<uint32_t>(out.size() / 16);
                const uint8_t record[16] = {uint8_t(n),
                                            uint8_t(n >> 8),
                                            0,
                                            0,
                                            0x40,
                                            0x12,
                                            uint8_t(n % 7),
                                            0xFF,
                                            uint8_t(gen()),
                                            0,
                                            1,
                                            2,
                                            uint8_t(gen() % 3),
                                            0x80,
                                            0,
                                            0};
                out.insert(out.end(), record, record + 16);
            }
        }
    }
    out.resize(size);
    return out;
}

std::vector<ZipEntry> zipEntries(const Bytes& archive) {
    std::vector<ZipEntry> entries;
    size_t end = archive.size() - 22;
    while (le32(archive, end) != 0x06054b50)
        --end;
    const uint32_t count = le16(archive, end + 10);
    size_t at = le32(archive, end + 16);
    for (uint32_t i = 0; i < count; ++i) {
        ZipEntry e;
        e.method = static_cast<uint16_t>(le16(archive, at + 10));
        e.crc32 = le32(archive, at + 16);
        const uint32_t compressed = le32(archive, at + 20);
        e.uncompressedSize = le32(archive, at + 24);
        const uint32_t nameLen = le16(archive, at + 28);
        const uint32_t extraLen = le16(archive, at + 30);
        const uint32_t commentLen = le16(archive, at + 32);
        const uint32_t local = le32(archive, at + 42);
        e.name.assign(archive.begin() + at + 46, archive.begin() + at + 46 + nameLen);
        const size_t data = local + 30 + le16(archive, local + 26) + le16(archive, local + 28);
        e.stored.assign(archive.begin() + data, archive.begin() + data + compressed);
        entries.push_back(std::move(e));
        at += 46 + nameLen + extraLen + commentLen;
    }
    return entries;
}

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t crc32Of(const Bytes& data) {
    vexmar::ZipCRC crc;
    crc.update(data.data(), data.size());
    return crc.crc();
}

bool sevenZipAvailable() {
#ifdef _WIN32
    return false;
#else
    static const bool available = std::system("7zz i >/dev/null 2>&1") == 0;
    return available;
#endif
}

std::optional<ZipEntry> sevenZipPpmd(const Bytes& data, const PpmdParams& params) {
    namespace fs = std::filesystem;
    const fs::path dir =
        fs::temp_directory_path() / ("ppmd_tests_" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    {
        std::ofstream out(dir / "data.bin", std::ios::binary);
        out.write(reinterpret_cast<const char*>(data.data()),
                  static_cast<std::streamsize>(data.size()));
    }
    const std::string command =
        "cd '" + dir.string() + "' && 7zz a -tzip -mm=PPMd:o=" + std::to_string(params.order) +
        ":mem=" + std::to_string(params.megabytes) + "m:a=" + std::to_string(params.restoration) +
        " out.zip data.bin >/dev/null 2>&1";
    std::optional<ZipEntry> entry;
    if (std::system(command.c_str()) == 0) {
        auto entries = zipEntries(readFile((dir / "out.zip").string()));
        if (entries.size() == 1 && entries[0].method == 98)
            entry = std::move(entries[0]);
    }
    fs::remove_all(dir);
    return entry;
}
