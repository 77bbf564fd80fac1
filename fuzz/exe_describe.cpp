// Loads an executable image and reads what describes it: every string of the
// first string table blocks and the version resource's texts, as vxzip info and
// the payload check read them from files they did not make.
#include "exe/ExeImage.h"
#include "exe/StringResource.h"
#include "exe/VersionInfo.h"
#include "fuzz/InputFile.h"
#include "zip/base/LogNull.h"
#include "zip/base/XString.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <unistd.h>

using namespace vexmar;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path =
        (std::filesystem::temp_directory_path() / ("exe_describe_fuzz." + std::to_string(getpid())))
            .string();
    writeFile(path, data, size);

    XString file;
    file.setFromUtf8(path.c_str());
    LogNull log;
    auto image = ExeImage::loadExe(file, log);
    if (!image)
        return 0;
    size_t total = 0;
    std::u16string text;
    for (uint32_t id = 0; id < 176; ++id)
        for (uint16_t language : {uint16_t(0), uint16_t(1033)})
            if (readStringResource(*image, id, language, text))
                total += text.size();
    for (const auto& [key, value] : readVersionStrings(*image))
        total += key.size() + value.size();
    volatile size_t sink = total;
    (void)sink;
    return 0;
}
