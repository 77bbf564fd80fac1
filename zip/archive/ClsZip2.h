// The archive object: an archive image held in memory, its end records and its
// entries (kept in the shared ZipSystem), and the last-error log of ClsBase.
#pragma once

#include "zip/central/MemoryData.h"
#include "zip/base/ClsBase.h"
#include "zip/base/StringBuffer.h"
#include "zip/base/XString.h"

#include <cstdint>

namespace vexmar {

class LogBase;
class ProgressEvent;
class ZipEntryBase;
class ZipSystem;

// Where the end records said the central directory is.
struct EndRecordInfo {
    uint64_t endRecordOffset = 0;
    uint64_t zip64LocatorOffset = 0;
    uint64_t zip64EndRecordOffset = 0;
    uint64_t centralDirOffset = 0;
    uint64_t numEntries = 0;
    uint64_t centralDirSize = 0;
};

class ClsZip2 : public ClsBase {
public:
    explicit ClsZip2(ZipSystem* system);
    ~ClsZip2() override;

    // Opens a copy of `data` as this archive, closing what was open before.
    bool OpenFromMemory(const void* data, uint32_t length);
    // OpenFromMemory's work without its bracket, for operations that open
    // through it (the embedded payload).
    bool openMemoryCopy(const void* data, uint32_t length, LogBase& log);
    // Maps the file into memory as the archive's image and opens that; a file that cannot be
    // mapped is read into an image of the archive's own.
    bool OpenFromFile(const XString& path);
    // Closes the archive as a public operation (always succeeds).
    void CloseZip();
    // Reads the end records and the central directory of the current image.
    bool openFromMemData(LogBase& log);
    // Forgets the image, the end records and the entries.
    void closeArchive();

    // Writes the entries below `directory` as the public operation `operationName`.
    // `pattern` (null: every entry) selects entries by name. True when every entry
    // that was attempted was written.
    bool unzipCommon(const char* operationName, const XString& directory, const char* pattern,
                     bool onlyNewer, bool ignoreFolders, ProgressEvent* event, int32_t& count);
    // Decodes every file entry into nothing, checking sizes and CRC-32s.
    bool testEntries(ProgressEvent* event);
    // False (logged, naming both) when two entries' local headers and data overlap.
    bool checkEntryRanges(LogBase& log);
    bool unzipFromBaseDir(const XString& directory, bool ignoreFolders, const char* pattern,
                          bool onlyNewer, ProgressEvent* event, int32_t& count, LogBase& log);

    uint32_t numEntries() const;
    // Null when i is out of range or the slot is not a valid entry.
    ZipEntryBase* entryAt(uint32_t i) const;
    // 0 none, 4 WinZip AES, 5 traditional password.
    int32_t encryption() const { return encryption_; }
    int32_t keyLength() const { return keyLength_; }
    const StringBuffer& comment() const { return comment_; }
    const EndRecordInfo& endRecords() const { return end_; }

    int32_t id() const { return id_; }
    ZipSystem* system() const { return system_; }
    const MemoryData& memoryData() const { return image_; }
    XString& archiveName() { return name_; }

private:
    void takeSystemSettings();
    // Makes a block from std::malloc the image (closing what was open) and reads it.
    bool openAdoptedImage(uint8_t* image, uint32_t size, LogBase& log);
    // Makes a view of a file mapping the image (closing what was open) and reads it.
    bool openMappedImage(const uint8_t* view, uint32_t size, os::MappingHandle mapping,
                         LogBase& log);
    // Reads the end records and the entries of the image just taken.
    bool openTakenImage(LogBase& log);
    bool readEndRecords(LogBase& log);
    bool walkCentralDirectory(LogBase& log);
    void decideEncryption(LogBase& log);

    ZipSystem* system_;
    int32_t id_;
    MemoryData image_;
    EndRecordInfo end_;
    StringBuffer comment_;
    int32_t encryption_ = 0;
    int32_t keyLength_ = 128;
    StringBuffer password_;
    XString name_;
};

} // namespace vexmar
