#include "exe/ExeResource.h"

#include "zip/base/ValidityTag.h"

#include <algorithm>

namespace vexmar {

namespace {

constexpr uint32_t kValidMarker = 0x35AB1278;

} // namespace

ExeResource::ExeResource(ExeImage* owner) : marker_(kValidMarker), owner_(owner) {}

ExeResource::~ExeResource() {
    clearValidityTag(marker_);
}

bool ExeResource::isValid() const {
    return marker_ == kValidMarker;
}

ExeResource* ExeResource::idChild(uint16_t wanted) const {
    for (const auto& child : idChildren)
        if (child->id == wanted)
            return child.get();
    return nullptr;
}

ExeResource* ExeResource::insertChild(std::unique_ptr<ExeResource> child) {
    ExeResource* added = child.get();
    // Before the first greater sibling; a linear search keeps a list the file had
    // out of order as it was.
    auto& siblings = child->isNamed ? namedChildren : idChildren;
    auto before = std::find_if(siblings.begin(), siblings.end(), [&](const auto& sibling) {
        return added->isNamed ? added->name < sibling->name : added->id < sibling->id;
    });
    siblings.insert(before, std::move(child));
    return added;
}

void ExeResource::takeData(std::vector<uint8_t> bytes) {
    ownedData = std::move(bytes);
    dataFromFile = false;
    dataFilePath.clear();
    data = ownedData.empty() ? nullptr : ownedData.data();
    dataSize = uint32_t(ownedData.size());
}

} // namespace vexmar
