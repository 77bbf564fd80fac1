// An entry that lives in an opened archive image. Its central header is parsed on
// first use, its local header when its data is first needed.
#pragma once

#include "zip/central/ZipEntryBase.h"
#include "zip/central/ZipEntryInfo.h"

#include <memory>

namespace vexmar {

class DataSource;
struct EntryTarget;
class LogBase;
class MemoryData;

class ZipEntryMapped : public ZipEntryBase {
public:
    ZipEntryMapped(ZipSystem* system, int32_t archiveId, uint64_t centralHeaderOffset);

    uint32_t getCrc32() override;
    bool getFileName(StringBuffer& out) override;
    bool getFileNameHex(StringBuffer& out) override;
    uint64_t getCompressedSize64() override;
    uint64_t getUncompressedSize64() override;
    int getCompressionLevel() override;
    int getCompressionMethod() override;
    bool isDirectory() override;
    os::CalendarTime getLastModified() override;
    bool getComment(StringBuffer& out) override;
    bool isPasswordProtected() override;
    bool isWinZipAes() override;
    bool inflateMappedEntry(const XString& directory, bool ignoreFolders, bool clearReadOnly,
                            FailedDirectories& failedDirectories, int32_t& count,
                            ProgressMonitor* monitor, LogBase& log, bool verbose) override;
    bool mappedInflateToOutput(Output& output, ProgressMonitor* monitor, LogBase& log,
                               bool verbose) override;

    // Deletes the file inflateMappedEntry wrote for this entry, reached the same way.
    void removeExtractedFile(const XString& directory, bool ignoreFolders);
    // Where the entry is written below `directory`; false (logged) when its name would
    // leave that directory, holds a control character or names no file.
    bool entryTarget(const XString& directory, bool ignoreFolders, EntryTarget& target,
                     LogBase& log);
    // The same as one path.
    bool targetPath(const XString& directory, bool ignoreFolders, XString& path, LogBase& log);

    // Both do nothing once done. The offset is the central header's.
    bool loadCentralDirInfo(const MemoryData& image, uint64_t offset, LogBase& log);
    bool loadLocalFileHeader(const MemoryData& image, LogBase& log);
    // The loads above against the owning archive's image, with a discarding log.
    bool ensureCentralLoaded();
    bool ensureLocalLoaded();
    // The same, recording why a load failed.
    bool ensureCentralLoaded(LogBase& log);
    bool ensureLocalLoaded(LogBase& log);

    uint64_t centralHeaderOffset() const { return centralHeaderOffset_; }
    // Null until the central header was loaded.
    const ZipEntryInfo* info() const { return info_.get(); }

private:
    bool decodeData(Output& output, ProgressMonitor* monitor, LogBase& log, bool verbose);
    bool decodeMethod(DataSource& source, uint64_t length, Output& output, ProgressMonitor* monitor,
                      LogBase& log, bool verbose);
    bool checkDecoded(uint64_t bytes, uint32_t crc, LogBase& log);
    const MemoryData* archiveImage(LogBase& log) const;
    bool parseCentralExtra(const uint8_t* extra, uint32_t length, LogBase& log);
    void decodeName(LogBase& log);
    ZipEntryInfo& infoRef();

    uint64_t centralHeaderOffset_;
    std::unique_ptr<ZipEntryInfo> info_;
};

} // namespace vexmar
