// Laying out the resource section and the sections after it again, and keeping
// the headers that locate moved data in step: data directories, the symbol
// table pointer, the certificate table and the debug directory's data.
#include "exe/ExeImage.h"

#include "exe/PeFormat.h"
#include "exe/ResourceSection.h"
#include "zip/base/LogBase.h"
#include "zip/base/LogContextExitor.h"

#include <algorithm>

namespace vexmar {

using namespace pe;

namespace {

constexpr uint64_t kMaxFileSize = 0x7FFFFFFF;

bool isPowerOfTwo(uint32_t value) {
    return value != 0 && (value & (value - 1)) == 0;
}

} // namespace

bool ExeImage::calcLoadAddrs(LogBase& log) {
    LogContextExitor context(log, "calcLoadAddrs");
    // Start from the image as loaded, so that a second call gives the same result.
    nt_ = loadedNt_;
    sections_ = loadedSections_;
    patches_.clear();

    if (!isPowerOfTwo(nt_.fileAlignment()) || !isPowerOfTwo(nt_.sectionAlignment())) {
        log.logError("Invalid file or section alignment");
        log.logDataHex("fileAlignment", nt_.fileAlignment());
        log.logDataHex("sectionAlignment", nt_.sectionAlignment());
        return false;
    }
    if (!root_) {
        log.logError("No resources pointer.");
        return false;
    }
    if (!root_->isValid()) {
        log.logError("Internal resource object is invalid..");
        return false;
    }
    // Moving sections is sound only in an image whose sections follow each other.
    for (size_t i = 1; i < sections_.size(); ++i) {
        const ExeSection& before = sections_[i - 1];
        if (sections_[i].virtualAddress <
            uint64_t(before.virtualAddress) + before.virtualExtent()) {
            log.logError("Sections overlap or are out of address order");
            log.logData("section_name", sections_[i].displayName().c_str());
            return false;
        }
    }
    // The whole .rsrc section is rebuilt from the tree, so the tree must be what it holds.
    const int index = resourceSectionIndex();
    const uint32_t resourceRva = loadedNt_.dataDirectory(kDirResource).rva;
    if (index < 0 || !loadedSections_[size_t(index)].containsRva(resourceRva) ||
        !loadedSections_[size_t(index)].hasRawData()) {
        log.logError("The resource directory is not in a .rsrc section with data");
        return false;
    }
    uint64_t size = 0;
    if (!laterSectionsMovable(uint32_t(index), log) || !layOutResources(*root_, size, log) ||
        !moveSections(uint32_t(index), size, log))
        return false;
    fixUpResources(*root_, sections_[size_t(index)].virtualAddress);
    updateDirectories(uint32_t(index), size);
    patchDebugDirectory(uint32_t(index));
    return true;
}

// Sections before .rsrc keep their places. The .rsrc section keeps its start and
// takes the laid-out size; every later section follows it at the next aligned
// address and file offset.
bool ExeImage::moveSections(uint32_t resourceIndex, uint64_t resourceSize, LogBase& log) {
    const uint32_t fa = nt_.fileAlignment();
    const uint32_t sa = nt_.sectionAlignment();
    ExeSection& rsrc = sections_[resourceIndex];
    const uint64_t virtualSize = roundUp(resourceSize, 8);
    const uint64_t rawSize = roundUp(virtualSize, sa);
    uint64_t fileCursor = roundUp(rsrc.pointerToRawData + rawSize, fa);
    uint64_t addressCursor = roundUp(rsrc.virtualAddress + virtualSize, sa);
    rsrc.virtualSize = uint32_t(virtualSize);
    rsrc.sizeOfRawData = uint32_t(rawSize);

    for (size_t i = resourceIndex + 1; i < sections_.size(); ++i) {
        ExeSection& section = sections_[i];
        section.virtualAddress = uint32_t(addressCursor);
        if (section.hasRawData()) {
            section.pointerToRawData = uint32_t(fileCursor);
            fileCursor = roundUp(fileCursor + section.sizeOfRawData, fa);
        }
        addressCursor = roundUp(addressCursor + section.virtualExtent(), sa);
        if (addressCursor > 0xFFFFFFFF || fileCursor > kMaxFileSize)
            break;
    }

    // The overlay follows the last byte of section data (or the section table).
    const uint32_t ntOffset = dos_.lfanew();
    uint64_t dataEnd = uint64_t(ntOffset) + nt_.size() + sections_.size() * kSectionHeaderSize;
    for (const ExeSection& section : sections_)
        if (section.hasRawData())
            dataEnd = std::max(dataEnd, section.rawEnd());
    const uint64_t newSize = dataEnd + overlayLength_;
    if (addressCursor > 0xFFFFFFFF || newSize > kMaxFileSize) {
        log.logError("The new image would be too large");
        return false;
    }
    nt_.setSizeOfImage(uint32_t(addressCursor));
    newOverlayOffset_ = uint32_t(dataEnd);
    newFileSize_ = uint32_t(newSize);
    resourceSize_ = resourceSize;
    return true;
}

uint32_t ExeImage::newRva(uint32_t rva) const {
    for (size_t i = 0; i < sections_.size(); ++i) {
        const ExeSection& old = loadedSections_[i];
        if (old.containsRva(rva))
            return rva - old.virtualAddress + sections_[i].virtualAddress;
    }
    return rva;
}

uint32_t ExeImage::newFileOffset(uint32_t offset) const {
    if (offset >= overlayOffset_)
        return offset - overlayOffset_ + newOverlayOffset_;
    for (size_t i = 0; i < sections_.size(); ++i) {
        const ExeSection& old = loadedSections_[i];
        if (old.hasRawData() && offset >= old.pointerToRawData && offset < old.rawEnd())
            return offset - old.pointerToRawData + sections_[i].pointerToRawData;
    }
    return offset;
}

void ExeImage::updateDirectories(uint32_t resourceIndex, uint64_t resourceSize) {
    for (uint32_t i = 0; i < nt_.numDataDirectories(); ++i) {
        ExeDataDirectory directory = nt_.dataDirectory(i);
        if (i == kDirResource)
            directory = {sections_[resourceIndex].virtualAddress, uint32_t(resourceSize)};
        else if (directory.rva == 0)
            continue;
        else if (i == kDirCertificate)
            directory.rva = newFileOffset(directory.rva);
        else
            directory.rva = newRva(directory.rva);
        nt_.setDataDirectory(i, directory);
    }
    if (nt_.pointerToSymbolTable() != 0)
        nt_.setPointerToSymbolTable(newFileOffset(nt_.pointerToSymbolTable()));
}

// Each debug directory entry locates its data by RVA and by file offset; both
// follow the data when it moves. The entries are carried over byte for byte, so
// the new values are written over them afterwards.
void ExeImage::patchDebugDirectory(uint32_t resourceIndex) {
    const ExeDataDirectory debug = loadedNt_.dataDirectory(kDirDebug);
    const uint8_t* entries = debug.rva ? rvaRange(debug.rva, debug.size) : nullptr;
    if (!entries)
        return;
    const ExeSection& rsrc = loadedSections_[resourceIndex];
    for (uint32_t j = 0; j < debug.size / kDebugEntrySize; ++j) {
        const uint32_t at = uint32_t(entries - view_) + j * kDebugEntrySize;
        // Entries inside the rebuilt section are not carried over.
        if (at >= rsrc.pointerToRawData && at < rsrc.rawEnd())
            continue;
        const uint8_t* entry = view_ + at;
        const uint32_t rva = le32(entry + kDebugAddressOfRawData);
        const uint32_t offset = le32(entry + kDebugPointerToRawData);
        if (rva != 0 && newRva(rva) != rva)
            patches_.push_back({newFileOffset(at + kDebugAddressOfRawData), newRva(rva)});
        if (offset != 0 && newFileOffset(offset) != offset)
            patches_.push_back({newFileOffset(at + kDebugPointerToRawData), newFileOffset(offset)});
    }
}

} // namespace vexmar
