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

// The methods listed by name; any other is listed as its number.
struct MethodName {
    zipfmt::Method method;
    const char* name;
};

constexpr MethodName kMethodNames[] = {
    {zipfmt::Method::kStored, "store"},        {zipfmt::Method::kShrunk, "shrink"},
    {zipfmt::Method::kImploded, "implode"},    {zipfmt::Method::kDeflated, "deflate"},
    {zipfmt::Method::kDeflate64, "deflate64"}, {zipfmt::Method::kBzip2, "bzip2"},
    {zipfmt::Method::kLzma, "lzma"},           {zipfmt::Method::kPpmd, "ppmd"},
    {zipfmt::Method::kWinZipAes, "aes"},
};

std::string methodName(int method) {
    for (const MethodName& known : kMethodNames)
        if (static_cast<int>(known.method) == method)
            return known.name;
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
