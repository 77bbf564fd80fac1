// Loads an executable image, reads every resource's bytes, looks up the payload
// name, adds a payload, replaces the first leaf's data, removes the last leaf,
// and writes the result; a written image must load again, give the payload back,
// hold the replaced data and no longer hold the removed leaf.
#include "exe/ExeImage.h"
#include "fuzz/InputFile.h"
#include "zip/base/LogNull.h"
#include "zip/base/Logger.h"
#include "zip/base/XString.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

using namespace vexmar;

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
const std::vector<uint8_t> kReplacement = {'n', 'e', 'w', 0, 1, 2};

// The type, name and language keys of a leaf three levels down, as the writer
// will find them again; false for a tree of another shape.
struct LeafPath {
    ResourceKey type, name;
    uint16_t language = 0;
};

ResourceKey keyOf(const ExeResource& node) {
    return node.isNamed ? ResourceKey::ofName(node.name) : ResourceKey::ofId(node.id);
}

bool leafAt(const ExeResource& root, bool last, LeafPath& path) {
    const ExeResource* nodes[3] = {};
    const ExeResource* dir = &root;
    for (int level = 0; level < 3; ++level) {
        if (!dir->isDirectory || dir->childCount() == 0)
            return false;
        const ExeResource* pick = nullptr;
        dir->forEachChild([&](const ExeResource& child) {
            if (!pick || last)
                pick = &child;
        });
        nodes[level] = dir = pick;
    }
    if (dir->isDirectory || nodes[2]->isNamed)
        return false;
    path = {keyOf(*nodes[0]), keyOf(*nodes[1]), nodes[2]->id};
    return true;
}

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
    if (!image->addResourceFromFile(u"IDR_VEXMAR1", payload.x, log))
        return 0;
    LogNull quiet;
    LeafPath replaced, removed;
    // The first leaf, unless it is the payload's.
    const bool replacing =
        leafAt(*image->resources(), false, replaced) &&
        image->findResource(replaced.type, replaced.name, replaced.language) != nullptr &&
        replaced.name.name != u"IDR_VEXMAR1";
    if (replacing && !image->setResource(replaced.type, replaced.name, replaced.language,
                                         kReplacement, quiet))
        std::abort();
    // The last leaf, unless it is the one just replaced or the payload's.
    bool removing = leafAt(*image->resources(), true, removed) &&
                    image->findResource(removed.type, removed.name, removed.language) != nullptr &&
                    removed.name.name != u"IDR_VEXMAR1";
    if (removing && replacing && removed.type.id == replaced.type.id &&
        removed.type.name == replaced.type.name && removed.name.id == replaced.name.id &&
        removed.name.name == replaced.name.name && removed.language == replaced.language)
        removing = false;
    // A duplicate of the removed leaf's keys would still be found afterwards.
    if (removing) {
        if (!image->removeResource(removed.type, removed.name, removed.language, quiet))
            std::abort();
        removing = image->findResource(removed.type, removed.name, removed.language) == nullptr;
    }
    if (!image->writeExe(out.x, nullptr, log))
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
    if (replacing) {
        const ExeResource* leaf = again->findResource(replaced.type, replaced.name, replaced.language);
        if (!leaf || std::vector<uint8_t>(leaf->data, leaf->data + leaf->dataSize) != kReplacement)
            std::abort();
    }
    if (removing && again->findResource(removed.type, removed.name, removed.language))
        std::abort();
    return 0;
}
