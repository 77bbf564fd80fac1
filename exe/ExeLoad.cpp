// Loading an executable: the mapping, the header copies, the section table and
// the overlay. Every read is checked against the size of the mapped file.
#include "exe/ExeImage.h"

#include "exe/PeFormat.h"
#include "os/ModuleInfo.h"
#include "zip/base/LogBase.h"
#include "zip/base/LogContextExitor.h"
#include "zip/base/XString.h"
#include "zip/base/fs/FileSys.h"

#include <algorithm>

namespace vexmar {

using namespace pe;

namespace {

// A larger file does not fit the 32-bit offsets of the format.
constexpr int64_t kMaxFileSize = 0x7FFFFFFF;
// The limit on the running executable's path.
constexpr uint32_t kMaxModulePath = 1024;

} // namespace

ExeImage::~ExeImage() {
    root_.reset();
    os::unmapView(view_, fileSize_);
    os::closeMapping(mapping_);
}

std::unique_ptr<ExeImage> ExeImage::loadExe(const XString& path, LogBase& log) {
    LogContextExitor context(log, "loadExe");
    std::unique_ptr<ExeImage> image(new ExeImage);
    if (!image->load(path, log))
        return nullptr;
    return image;
}

std::unique_ptr<ExeImage> ExeImage::loadMyExe(LogBase& log) {
    os::wchar path[kMaxModulePath];
    const uint32_t length = os::moduleFileName(nullptr, path, kMaxModulePath);
    if (length == 0 || length >= kMaxModulePath - 1) {
        log.logError("Failed to get the module file name");
        return nullptr;
    }
    XString xpath;
    xpath.setFromWide(reinterpret_cast<const char16_t*>(path), length);
    return loadExe(xpath, log);
}

bool ExeImage::load(const XString& path, LogBase& log) {
    file_ = FileSys::openForReadWin32(path, nullptr, &log);
    int64_t size = 0;
    if (!file_.isOpen() || !file_.size64(size, &log))
        return false;
    bool ok = false;
    uint32_t error = 0;
    if (size > kMaxFileSize) {
        log.logError("File is too large for an executable");
        log.logDataInt64("fileSize", size);
    } else if ((mapping_ = os::createReadOnlyMapping(file_.osHandle(), error)) == os::kNoMapping) {
        log.logError("Failed to create file mapping");
        log.logWindowsError(error);
    } else if (!(view_ = static_cast<const uint8_t*>(
                     os::mapReadOnlyView(mapping_, uint64_t(size), error)))) {
        log.logError("Failed to map view of file");
        log.logWindowsError(error);
    } else {
        fileSize_ = uint32_t(size);
        ok = readHeaders(log);
    }
    if (!ok) {
        log.logDataStr("filename", path);
        return false;
    }
    if (!buildResourceTree(log)) {
        log.logError("Failed to build resource tree..");
        return false;
    }
    return true;
}

bool ExeImage::readHeaders(LogBase& log) {
    if (fileSize_ < 2 || le16(view_) != kDosSignature) {
        log.logError("Failed to find DOS signature");
        return false;
    }
    if (fileSize_ < kDosHeaderSize) {
        log.logError("DOS header is truncated");
        return false;
    }
    std::copy(view_, view_ + kDosHeaderSize, dos_.bytes);

    const uint32_t ntOffset = dos_.lfanew();
    if (!fileRange(ntOffset, kSignatureSize)) {
        log.logError("Failed to find NT header");
        return false;
    }
    ntHeaders_ = view_ + ntOffset;
    const uint8_t* fixed = fileRange(ntOffset, kOptionalHeader + 2);
    const uint16_t optionalSize = fixed ? ExeNtHeader::optionalHeaderSize(fixed) : 0;
    if (!fixed || !fileRange(ntOffset, uint64_t(kOptionalHeader) + optionalSize) ||
        optionalSize < 2) {
        log.logError("NT headers are truncated");
        return false;
    }
    const uint16_t magic = le16(fixed + kOptionalHeader);
    const uint32_t fixedSize = ExeNtHeader::fixedOptionalSize(magic);
    if (fixedSize == 0 || optionalSize < fixedSize) {
        log.logError(fixedSize == 0 ? "Unknown optional header magic"
                                    : "Optional header is too small");
        log.logDataHex("magic", magic);
        log.logDataInt("sizeOfOptionalHeader", optionalSize);
        return false;
    }
    nt_.assign(ntHeaders_);

    const uint64_t tableOffset = uint64_t(ntOffset) + kOptionalHeader + optionalSize;
    const uint32_t count = nt_.numberOfSections();
    const uint8_t* table = fileRange(tableOffset, uint64_t(count) * kSectionHeaderSize);
    if (!table) {
        log.logError("Section table extends past the end of the file");
        log.logDataInt("numSections", count);
        return false;
    }
    uint64_t dataEnd = tableOffset + uint64_t(count) * kSectionHeaderSize;
    for (uint32_t i = 0; i < count; ++i) {
        const ExeSection section = ExeSection::read(table + i * kSectionHeaderSize);
        if (section.hasRawData()) {
            if (section.rawEnd() > fileSize_) {
                log.logError("Section data extends past the end of the file");
                log.logData("section_name", section.displayName().c_str());
                return false;
            }
            dataEnd = std::max(dataEnd, section.rawEnd());
        }
        sections_.push_back(section);
    }
    // The overlay is whatever follows the last byte of section data (a
    // certificate table, a symbol table).
    overlayOffset_ = uint32_t(std::min<uint64_t>(dataEnd, fileSize_));
    overlayLength_ = fileSize_ - overlayOffset_;
    loadedNt_ = nt_;
    loadedSections_ = sections_;
    return true;
}

const uint8_t* ExeImage::fileRange(uint64_t offset, uint64_t length) const {
    if (offset > fileSize_ || length > fileSize_ - offset)
        return nullptr;
    return view_ + offset;
}

const uint8_t* ExeImage::rvaRange(uint32_t rva, uint64_t length) const {
    for (const ExeSection& section : loadedSections_)
        if (section.containsRva(rva))
            return fileRange(uint64_t(rva - section.virtualAddress) + section.pointerToRawData,
                             length);
    return nullptr;
}

const uint8_t* ExeImage::rvaToPtr(uint32_t rva) const {
    return rvaRange(rva, 1);
}

int ExeImage::resourceSectionIndex() const {
    for (size_t i = 0; i < loadedSections_.size(); ++i)
        if (loadedSections_[i].hasName(".rsrc"))
            return int(i);
    return -1;
}

bool ExeImage::isSigned() const {
    return loadedNt_.dataDirectory(kDirCertificate).size != 0;
}

} // namespace vexmar
