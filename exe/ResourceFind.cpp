// Finding a named resource and adding one whose data comes from a file.
#include "exe/ExeImage.h"

#include "exe/PeFormat.h"
#include "zip/base/LogBase.h"
#include "zip/base/XString.h"

namespace vexmar {

namespace {

// Depth first: a directory's named children are tested before its id children
// are searched. A matching name gives its first language.
const ExeResource* searchNamed(const ExeResource& dir, const std::u16string& name) {
    for (const auto& child : dir.namedChildren) {
        if (child->name != name)
            continue;
        const ExeResource* hit = child.get();
        if (!hit->idChildren.empty())
            hit = hit->idChildren.front().get();
        if (!hit->idChildren.empty())
            hit = hit->idChildren.front().get();
        return hit;
    }
    for (const auto& child : dir.idChildren)
        if (const ExeResource* hit = searchNamed(*child, name))
            return hit;
    return nullptr;
}

std::string nameForLog(const std::u16string& name) {
    XString text;
    text.setFromWide(name.data(), uint32_t(name.size()));
    return text.getUtf8();
}

} // namespace

const ExeResource* ExeImage::lookUpNamed(const std::u16string& name) const {
    return root_ ? searchNamed(*root_, name) : nullptr;
}

bool ExeImage::findNamedResource(const std::u16string& name, const uint8_t*& data, uint32_t& size,
                                 LogBase& log) const {
    data = nullptr;
    size = 0;
    const ExeResource* hit = lookUpNamed(name);
    if (!hit) {
        log.logError("Failed to find named resource");
        log.logData("resourceName", nameForLog(name).c_str());
        return false;
    }
    data = hit->data;
    size = hit->dataSize;
    return true;
}

bool ExeImage::addResourceFromFile(const std::u16string& name, const XString& filePath,
                                   LogBase& log) {
    if (!root_) {
        log.logError("Resources pointer is NULL (1)");
        return false;
    }
    if (name.empty() || name.size() > 0xFFFF) {
        log.logError("Resource name must have 1 to 65535 characters");
        return false;
    }
    auto leaf = std::make_unique<ExeResource>(this);
    leaf->id = 1; // the language
    leaf->dataFromFile = true;
    leaf->dataFilePath.setFromX(filePath);

    auto nameDir = std::make_unique<ExeResource>(this);
    nameDir->isDirectory = true;
    nameDir->isNamed = true;
    nameDir->name = name;
    nameDir->insertChild(std::move(leaf));

    ExeResource* type = root_->idChild(pe::kRtRcData);
    if (!type) {
        auto newType = std::make_unique<ExeResource>(this);
        newType->isDirectory = true;
        newType->id = pe::kRtRcData;
        type = root_->insertChild(std::move(newType));
    } else if (!type->isDirectory) {
        log.logError("The raw-data resource type is not a directory");
        return false;
    }
    type->insertChild(std::move(nameDir));
    return true;
}

} // namespace vexmar
