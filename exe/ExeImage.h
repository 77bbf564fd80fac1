// An executable (PE32 or PE32+) opened through a read-only file mapping: copies
// of its headers and section table, and its resource directory as a tree. It
// finds a named resource in place, adds a raw-data resource read from a file,
// and writes a new executable whose resource section is rebuilt from the tree.
// The mapped view is never changed: it is the source of every byte carried over.
#pragma once

#include "exe/ExeHeaders.h"
#include "exe/ExeResource.h"
#include "exe/ResourceKey.h"
#include "os/FileMapping.h"
#include "zip/base/fs/VexmarHandle.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vexmar {

class LogBase;
class ProgressEvent;
class XString;

// A 4-byte value the writer puts at a file offset of the new image, over the
// bytes copied there.
struct ExePatch {
    uint32_t fileOffset = 0;
    uint32_t value = 0;
};

class ExeImage {
public:
    virtual ~ExeImage();
    ExeImage(const ExeImage&) = delete;
    ExeImage& operator=(const ExeImage&) = delete;

    static std::unique_ptr<ExeImage> loadExe(const XString& path, LogBase& log);
    // The running process's own executable file.
    static std::unique_ptr<ExeImage> loadMyExe(LogBase& log);

    // The data of the first resource named `name` (compared unit for unit), in place
    // in the mapped view: valid while the image lives.
    bool findNamedResource(const std::u16string& name, const uint8_t*& data, uint32_t& size,
                           LogBase& log) const;
    // The same without logging; null when there is none.
    const ExeResource* lookUpNamed(const std::u16string& name) const;
    // Adds a raw-data resource (type 10) named `name`, language 1, whose data will
    // be the content of `filePath` when the image is written.
    bool addResourceFromFile(const std::u16string& name, const XString& filePath, LogBase& log);
    // The leaf of `type`, `name` and `language` (the first of equal ones), or null.
    ExeResource* findResource(const ResourceKey& type, const ResourceKey& name,
                              uint16_t language) const;
    // The languages under `type` and `name`, in the order the tree holds them.
    std::vector<uint16_t> languagesOf(const ResourceKey& type, const ResourceKey& name) const;
    // Gives the leaf of `type`, `name` and `language` the data `bytes`, adding the
    // leaf and the directories above it, each where the sorted order wants it, when
    // there is none. The leaf keeps its code page.
    bool setResource(const ResourceKey& type, const ResourceKey& name, uint16_t language,
                     std::vector<uint8_t> bytes, LogBase& log);
    // Removes that leaf, and the name and type directories it leaves empty. False,
    // with the tree unchanged, when there is no such leaf.
    bool removeResource(const ResourceKey& type, const ResourceKey& name, uint16_t language,
                        LogBase& log);
    // Writes the edited image to a new file, reporting the bytes written against
    // the new file's size to `progress` (may be null), which may abort the write.
    bool writeExe(const XString& path, ProgressEvent* progress, LogBase& log);
    // The same into a file the caller has opened for writing; `path` names it in the log.
    bool writeExe(VexmarHandle& file, const XString& path, ProgressEvent* progress, LogBase& log);
    // Whether a certificate table (an Authenticode signature) is present: any
    // rewrite would break it.
    bool isSigned() const;
    // Lays out the resource section and the sections after it again, and updates
    // the headers that describe what moved.
    bool calcLoadAddrs(LogBase& log);
    // The byte at `rva` in the mapped view, or null when no section maps it into
    // the file.
    const uint8_t* rvaToPtr(uint32_t rva) const;

    // What the writer will write (after calcLoadAddrs) or what was read.
    const ExeNtHeader& ntHeader() const { return nt_; }
    const std::vector<ExeSection>& sections() const { return sections_; }
    const ExeResource* resources() const { return root_.get(); }
    const uint8_t* view() const { return view_; }
    uint32_t fileSize() const { return fileSize_; }
    // The size of the new file, known after calcLoadAddrs.
    uint32_t newFileSize() const { return newFileSize_; }
    // Offset of the first byte after the sections' raw data, as loaded.
    uint32_t overlayOffset() const { return overlayOffset_; }
    uint32_t overlayLength() const { return overlayLength_; }

private:
    ExeImage() = default;

    bool load(const XString& path, LogBase& log);
    bool readHeaders(LogBase& log);
    bool buildResourceTree(LogBase& log);
    // `length` bytes from `offset` of the mapped file, or null when they are not all in it.
    const uint8_t* fileRange(uint64_t offset, uint64_t length) const;
    // The same for an RVA range, through the section table (see rvaToPtr).
    const uint8_t* rvaRange(uint32_t rva, uint64_t length) const;
    int resourceSectionIndex() const;

    // Steps of calcLoadAddrs.
    bool laterSectionsMovable(uint32_t resourceIndex, LogBase& log) const;
    bool moveSections(uint32_t resourceIndex, uint64_t resourceSize, LogBase& log);
    void updateDirectories(uint32_t resourceIndex, uint64_t resourceSize);
    void patchDebugDirectory(uint32_t resourceIndex);
    uint32_t newRva(uint32_t rva) const;
    uint32_t newFileOffset(uint32_t offset) const;
    // Steps of writeExe: the layout, then the bytes.
    bool prepareWrite(LogBase& log);
    bool writePrepared(VexmarHandle& file, const XString& path, ProgressEvent* progress,
                       LogBase& log);
    bool writeHeaders(class ExeOutput& out, const XString& path, LogBase& log);
    bool writeSections(class ExeOutput& out, const XString& path, LogBase& log);

    uint32_t fileSize_ = 0;
    VexmarHandle file_;
    os::MappingHandle mapping_ = os::kNoMapping;
    const uint8_t* view_ = nullptr;
    const uint8_t* ntHeaders_ = nullptr;
    uint32_t overlayOffset_ = 0;
    uint32_t overlayLength_ = 0;
    ExeDosHeader dos_;
    ExeNtHeader nt_;
    std::vector<ExeSection> sections_;
    std::unique_ptr<ExeResource> root_;

    // As loaded: calcLoadAddrs starts from these each time.
    ExeNtHeader loadedNt_;
    std::vector<ExeSection> loadedSections_;
    // Results of calcLoadAddrs.
    uint32_t newFileSize_ = 0;
    uint32_t newOverlayOffset_ = 0;
    uint64_t resourceSize_ = 0;
    std::vector<ExePatch> patches_;
};

} // namespace vexmar
