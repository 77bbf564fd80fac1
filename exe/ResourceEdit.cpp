// Replacing, adding and removing resources in the tree; the writer lays out the
// section again from whatever the tree holds.
#include "exe/ExeImage.h"

#include "zip/base/LogBase.h"

#include <algorithm>

namespace vexmar {

namespace {

bool matches(const ExeResource& node, const ResourceKey& key) {
    return key.isNamed() ? node.isNamed && node.name == key.name
                         : !node.isNamed && node.id == key.id;
}

ExeResource* childOf(const ExeResource* dir, const ResourceKey& key) {
    if (!dir || !dir->isDirectory)
        return nullptr;
    for (const auto& child : key.isNamed() ? dir->namedChildren : dir->idChildren)
        if (matches(*child, key))
            return child.get();
    return nullptr;
}

// The child directory `key` of `parent`, made when missing; null when `parent`
// holds a leaf of that key where a directory belongs.
ExeResource* directoryIn(ExeResource& parent, const ResourceKey& key, ExeImage* owner) {
    if (ExeResource* found = childOf(&parent, key))
        return found->isDirectory ? found : nullptr;
    auto dir = std::make_unique<ExeResource>(owner);
    dir->isDirectory = true;
    dir->isNamed = key.isNamed();
    dir->name = key.name;
    dir->id = key.id;
    return parent.insertChild(std::move(dir));
}

void removeChild(ExeResource& parent, const ExeResource* child) {
    auto& siblings = child->isNamed ? parent.namedChildren : parent.idChildren;
    siblings.erase(std::find_if(siblings.begin(), siblings.end(),
                                [&](const auto& sibling) { return sibling.get() == child; }));
}

} // namespace

ExeResource* ExeImage::findResource(const ResourceKey& type, const ResourceKey& name,
                                    uint16_t language) const {
    ExeResource* leaf = childOf(childOf(childOf(root_.get(), type), name),
                                ResourceKey::ofId(language));
    return leaf && !leaf->isDirectory ? leaf : nullptr;
}

std::vector<uint16_t> ExeImage::languagesOf(const ResourceKey& type,
                                            const ResourceKey& name) const {
    std::vector<uint16_t> languages;
    if (const ExeResource* dir = childOf(childOf(root_.get(), type), name))
        if (dir->isDirectory)
            for (const auto& leaf : dir->idChildren)
                if (!leaf->isDirectory)
                    languages.push_back(leaf->id);
    return languages;
}

bool ExeImage::setResource(const ResourceKey& type, const ResourceKey& name, uint16_t language,
                           std::vector<uint8_t> bytes, LogBase& log) {
    if (!root_) {
        log.logError("The executable has no resource tree");
        return false;
    }
    if (type.name.size() > 0xFFFF || name.name.size() > 0xFFFF) {
        log.logError("Resource name must have 1 to 65535 characters");
        return false;
    }
    ExeResource* typeDir = directoryIn(*root_, type, this);
    ExeResource* nameDir = typeDir ? directoryIn(*typeDir, name, this) : nullptr;
    if (!nameDir) {
        log.logError("A resource directory holds data where a directory belongs");
        return false;
    }
    ExeResource* leaf = childOf(nameDir, ResourceKey::ofId(language));
    if (leaf && leaf->isDirectory) {
        log.logError("A resource language is a directory, not data");
        return false;
    }
    if (!leaf) {
        auto added = std::make_unique<ExeResource>(this);
        added->id = language;
        leaf = nameDir->insertChild(std::move(added));
    }
    leaf->takeData(std::move(bytes));
    return true;
}

bool ExeImage::removeResource(const ResourceKey& type, const ResourceKey& name,
                              uint16_t language, LogBase& log) {
    ExeResource* typeDir = childOf(root_.get(), type);
    ExeResource* nameDir = childOf(typeDir, name);
    const ExeResource* leaf = findResource(type, name, language);
    if (!leaf) {
        log.logError("No such resource to remove");
        log.logDataInt("language", language);
        return false;
    }
    removeChild(*nameDir, leaf);
    if (nameDir->childCount() == 0)
        removeChild(*typeDir, nameDir);
    if (typeDir->childCount() == 0)
        removeChild(*root_, typeDir);
    return true;
}

} // namespace vexmar
