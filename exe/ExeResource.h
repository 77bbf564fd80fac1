// One node of an executable's resource tree: a directory (the root, a type or a
// name) or a leaf (a language) with its data. The layout pass and the writer
// fill in the offsets and the copies of the on-disk records.
#pragma once

#include "zip/base/VexmarObject.h"
#include "zip/base/XString.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vexmar {

class ExeImage;

struct ResourceDataEntry {
    uint32_t dataRva = 0;
    uint32_t size = 0;
    uint32_t codePage = 0;
    uint32_t reserved = 0;
};

struct ResourceDirHeader {
    uint32_t characteristics = 0;
    uint32_t timeStamp = 0;
    uint16_t majorVersion = 0;
    uint16_t minorVersion = 0;
    uint16_t namedCount = 0;
    uint16_t idCount = 0;
};

struct ResourceDirEntry {
    uint32_t nameOrId = 0;
    uint32_t offsetToData = 0;
};

class ExeResource : public VexmarObject {
public:
    explicit ExeResource(ExeImage* owner);
    ~ExeResource() override;
    ExeResource(const ExeResource&) = delete;
    ExeResource& operator=(const ExeResource&) = delete;

    bool isValid() const;

    ExeImage* owner() const { return owner_; }
    // Every child: the named ones, then the id ones.
    template <typename Visit> void forEachChild(Visit visit) const {
        for (const auto& child : namedChildren)
            visit(*child);
        for (const auto& child : idChildren)
            visit(*child);
    }
    uint32_t childCount() const { return uint32_t(namedChildren.size() + idChildren.size()); }
    // The first id child with this id, or null.
    ExeResource* idChild(uint16_t wanted) const;
    // Inserts a child where the platform's binary search expects it: named
    // children in ordinal order of their UTF-16 names, id children by id, each
    // after any equal ones. Returns the child.
    ExeResource* insertChild(std::unique_ptr<ExeResource> child);
    // Makes a leaf's data `bytes`, held by the leaf itself.
    void takeData(std::vector<uint8_t> bytes);

    // Offsets the layout assigns within the resource section.
    uint32_t tableOffset = 0;
    uint32_t nameOffset = 0;
    uint32_t dataOffset = 0;
    uint32_t dataEntryOffset = 0;

    ResourceDataEntry dataEntry; // a leaf's
    ResourceDirHeader dirHeader; // a directory's
    ResourceDirEntry ownEntry;   // as the parent writes it

    bool isDirectory = false;
    // Kept in UTF-16, so that every name survives a read and rewrite unchanged.
    std::u16string name;
    bool dataFromFile = false;
    XString dataFilePath;
    const uint8_t* data = nullptr; // in the image's mapped view, or ownedData's
    uint32_t dataSize = 0;
    // A leaf's new data, given by an edit; `data` points into it.
    std::vector<uint8_t> ownedData;
    int32_t padding = 0; // zero bytes after a leaf's data

    std::vector<std::unique_ptr<ExeResource>> namedChildren;
    std::vector<std::unique_ptr<ExeResource>> idChildren;
    uint16_t id = 0;
    bool isNamed = false;

private:
    uint32_t marker_;
    ExeImage* owner_;
};

} // namespace vexmar
