// vxzip list: one line per entry as the engine sees it, under a header and above totals.
#include "tools/vxzip/Command.h"
#include "tools/vxzip/Report.h"
#include "zip/central/ZipFormat.h"

#include <cinttypes>
#include <cstdio>
#include <string>

using namespace vexmar;

namespace vxzip {

namespace {

const char* const kRule = "--------- ------------ ------------ -------- - ----\n";

// The method by name where the engine knows it; any other as its number.
std::string methodName(int method) {
    using zipfmt::Method;
    switch (Method(method)) {
    case Method::kStored:
        return "store";
    case Method::kShrunk:
        return "shrink";
    case Method::kImploded:
        return "implode";
    case Method::kDeflated:
        return "deflate";
    case Method::kDeflate64:
        return "deflate64";
    case Method::kBzip2:
        return "bzip2";
    case Method::kLzma:
        return "lzma";
    case Method::kPpmd:
        return "ppmd";
    case Method::kWinZipAes:
        return "aes";
    }
    return std::to_string(method);
}

} // namespace

int listCommand(const Options& options) {
    VxZipW zip;
    if (!openArchive(zip, options))
        return kFailed;
    std::printf("Method      Compressed         Size CRC-32   D Name\n%s", kRule);
    int status = kOk;
    uint64_t files = 0, folders = 0, compressed = 0, size = 0;
    VxEntryInfo e;
    for (uint32_t i = 0; i < zip.NumEntries(); ++i) {
        if (!zip.GetEntryInfo(i, e)) {
            const LogNode log = readLogTree(zip.LastErrorXml());
            reportFailure(options.operands[0], "entry " + std::to_string(i + 1) + ": " +
                                                   causeOf(log, causeFacts(options)).text);
            status = kFailed;
            continue;
        }
        std::printf("%-9s %12" PRIu64 " %12" PRIu64 " %08X %c %s\n", methodName(e.method).c_str(),
                    e.compressedSize, e.size, e.crc32, e.isDirectory ? 'D' : '-',
                    e.nameUtf8.c_str());
        ++(e.isDirectory ? folders : files);
        compressed += e.compressedSize;
        size += e.size;
    }
    std::printf("%s          %12" PRIu64 " %12" PRIu64 "            %s: %s, %s\n", kRule,
                compressed, size, counted(files + folders, "entry", "entries").c_str(),
                counted(files, "file", "files").c_str(),
                counted(folders, "folder", "folders").c_str());
    return status;
}

} // namespace vxzip
