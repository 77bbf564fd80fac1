// Writing the edited image: the header copies, the bytes between the headers
// and the first section, every section's data (the resource section rebuilt),
// the overlay, and last the patches over carried-over bytes.
#include "exe/ExeImage.h"

#include "exe/ExeOutput.h"
#include "exe/PeFormat.h"
#include "exe/ResourceSection.h"
#include "zip/base/LogBase.h"
#include "zip/base/LogContextExitor.h"
#include "zip/base/XString.h"
#include "zip/base/fs/FileSys.h"
#include "zip/base/stream/ProgressMonitor.h"

#include <algorithm>
#include <numeric>

namespace vexmar {

using namespace pe;

namespace {

bool failWrite(const char* message, const XString& path, LogBase& log,
               const ExeSection* section = nullptr) {
    log.logError(message);
    if (section)
        log.logData("section_name", section->displayName().c_str());
    log.logDataStr("filename", path);
    return false;
}

} // namespace

bool ExeImage::writeExe(const XString& path, ProgressEvent* progress, LogBase& log) {
    LogContextExitor context(log, "writeExe");
    if (!prepareWrite(log))
        return false;
    VexmarHandle file = FileSys::openForWriteWin32(path, nullptr, &log);
    return file.isOpen() && writePrepared(file, path, progress, log);
}

bool ExeImage::writeExe(VexmarHandle& file, const XString& path, ProgressEvent* progress,
                        LogBase& log) {
    LogContextExitor context(log, "writeExe");
    return prepareWrite(log) && writePrepared(file, path, progress, log);
}

bool ExeImage::prepareWrite(LogBase& log) {
    if (!root_ || !root_->isValid()) {
        log.logError("m_pResources is invalid.");
        return false;
    }
    if (!calcLoadAddrs(log)) {
        log.logError("Failed to calculate load addrs");
        return false;
    }
    return true;
}

bool ExeImage::writePrepared(VexmarHandle& file, const XString& path, ProgressEvent* progress,
                             LogBase& log) {
    if (!file.reserveSpace(newFileSize_, &log))
        return failWrite("Not enough disk space for the new executable", path, log);
    ProgressMonitorPtr monitor(progress, 0, newFileSize_);
    ExeOutput out(file, monitor.get(), log);
    if (!writeHeaders(out, path, log) || !writeSections(out, path, log))
        return false;
    if (!out.padTo(newOverlayOffset_) || !out.write(view_ + overlayOffset_, overlayLength_) ||
        !out.flush())
        return failWrite("Failed to write overlay", path, log);
    for (const ExePatch& patch : patches_) {
        uint8_t value[4];
        putLe32(value, patch.value);
        uint64_t written = 0;
        if (uint64_t(patch.fileOffset) + 4 > newFileSize_ ||
            !file.seekAbsolute(patch.fileOffset, &log) ||
            !file.write(value, sizeof value, written, &log))
            return failWrite("Failed to update a moved debug entry", path, log);
    }
    monitor.consumeRemaining(log);
    return true;
}

bool ExeImage::writeHeaders(ExeOutput& out, const XString& path, LogBase& log) {
    const uint32_t ntOffset = dos_.lfanew();
    if (ntOffset < kDosHeaderSize)
        return failWrite("NT headers overlap the DOS header", path, log);
    if (!out.write(dos_.bytes, kDosHeaderSize))
        return failWrite("Failed to write DOS header", path, log);
    if (!out.write(view_ + kDosHeaderSize, ntOffset - kDosHeaderSize))
        return failWrite("Failed to write DOS stub", path, log);
    if (!out.write(nt_.data(), kSignatureSize))
        return failWrite("Failed to write Signature", path, log);
    if (!out.write(nt_.data() + kSignatureSize, kFileHeaderSize))
        return failWrite("Failed to write file header", path, log);
    if (!out.write(nt_.data() + kOptionalHeader, nt_.sizeOfOptionalHeader()))
        return failWrite("Failed to write optional header", path, log);
    for (const ExeSection& section : sections_) {
        uint8_t header[kSectionHeaderSize];
        section.write(header);
        if (!out.write(header, sizeof header))
            return failWrite("Failed to write section header", path, log);
    }
    // Whatever lies between the section table and the first section's data.
    uint64_t firstData = newOverlayOffset_;
    for (const ExeSection& section : sections_)
        if (section.hasRawData())
            firstData = std::min<uint64_t>(firstData, section.pointerToRawData);
    if (out.position() > firstData)
        return failWrite("The headers overlap the first section's data", path, log);
    if (!out.write(view_ + out.position(), firstData - out.position()))
        return failWrite("Failed to write the bytes after the headers", path, log);
    return true;
}

// Sections go out in file order; a section whose data would overlap the one
// before it cannot be written.
bool ExeImage::writeSections(ExeOutput& out, const XString& path, LogBase& log) {
    const int resourceIndex = resourceSectionIndex();
    std::vector<size_t> order(sections_.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return sections_[a].pointerToRawData < sections_[b].pointerToRawData;
    });
    for (size_t i : order) {
        const ExeSection& section = sections_[i];
        if (!section.hasRawData())
            continue;
        if (!out.padTo(section.pointerToRawData))
            return failWrite("Section data overlaps the data before it", path, log, &section);
        const bool ok =
            int(i) == resourceIndex
                ? writeResources(*root_, resourceSize_, section.sizeOfRawData, out, log)
                : out.write(view_ + loadedSections_[i].pointerToRawData, section.sizeOfRawData);
        if (!ok)
            return failWrite("Failed to write section data", path, log, &section);
    }
    return true;
}

} // namespace vexmar
