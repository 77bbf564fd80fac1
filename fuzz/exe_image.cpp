// Loads an executable image, reads every resource's bytes, looks up the payload
// name, adds a payload and writes the result; a written image must load again
// and give the payload back.
#include "exe/ExeImage.h"
#include "fuzz/InputFile.h"
#include "zip/base/Logger.h"
#include "zip/base/XString.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

const std::string& workDir() {
    static const std::string dir = [] {
        const auto path =
            std::filesystem::temp_directory_path() / ("exe_image_fuzz." + std::to_string(getpid()));
        std::filesystem::create_directories(path);
        return path.string();
    }();
    return dir;
}

struct Path {
    XString x;
    explicit Path(const std::string& text) { x.setFromUtf8(text.c_str()); }
};

// Touches every byte of every leaf, so that a pointer outside the view shows.
uint32_t sumLeaves(const ExeResource& node) {
    uint32_t sum = 0;
    if (!node.isDirectory)
        for (uint32_t i = 0; i < node.dataSize; ++i)
            sum += node.data[i];
    node.forEachChild([&](const ExeResource& child) { sum += sumLeaves(child); });
    return sum;
}

const char kPayload[] = "PK\5\6 fuzz payload";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Path in(workDir() + "/in.exe");
    const Path out(workDir() + "/out.exe");
    const Path payload(workDir() + "/payload.zip");
    writeFile(in.x.getUtf8(), data, size);
    writeFile(payload.x.getUtf8(), kPayload, sizeof kPayload);

    Logger log;
    auto image = ExeImage::loadExe(in.x, log);
    if (!image)
        return 0;
    volatile uint32_t sink = sumLeaves(*image->resources());
    (void)sink;
    const uint8_t* found = nullptr;
    uint32_t foundSize = 0;
    const bool hadName = image->findNamedResource(u"IDR_VEXMAR1", found, foundSize, log);
    if (!image->addResourceFromFile(u"IDR_VEXMAR1", payload.x, log) ||
        !image->writeExe(out.x, nullptr, log))
        return 0;
    image.reset();

    // What was written must load, and an added name that was not there before
    // must give back the payload.
    auto again = ExeImage::loadExe(out.x, log);
    if (!again)
        std::abort();
    if (!hadName && (!again->findNamedResource(u"IDR_VEXMAR1", found, foundSize, log) ||
                     foundSize != sizeof kPayload || std::memcmp(found, kPayload, foundSize) != 0))
        std::abort();
    return 0;
}
