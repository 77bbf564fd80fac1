// An entry of an archive, as extraction and the archive object see it.
#pragma once

#include "os/Clock.h"
#include "zip/base/StringBuffer.h"
#include "zip/base/VexmarObject.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_set>

namespace vexmar {

class LogBase;
class Output;
class ProgressMonitor;
class XString;
class ZipSystem;

// Directories that could not be created in one extraction run, each reported once. The
// entries of a run may be written side by side, so the set keeps its own lock.
class FailedDirectories {
public:
    // True the first time `directory` is noted.
    bool noteFirst(const std::string& directory) {
        std::lock_guard<std::mutex> lock(mutex_);
        return directories_.insert(directory).second;
    }

private:
    std::mutex mutex_;
    std::unordered_set<std::string> directories_;
};

class ZipEntryBase : public VexmarObject {
public:
    static constexpr uint32_t kTag = 0xAABBCCDD;
    enum Kind : uint8_t { kMapped = 0, kNull = 3 };
    enum Flags : uint8_t { kExcluded = 0x01, kFromCentralHeader = 0x02 };

    ZipEntryBase(ZipSystem* system, int32_t archiveId);
    ~ZipEntryBase() override;

    // A slot whose object lacks the tag counts as empty.
    bool hasValidTag() const { return tag_ == kTag; }

    virtual uint32_t getCrc32();
    // The name in UTF-8: a replacement name if one was set, else the decoded name,
    // else the name as stored. These getters of text return false, with `out` empty,
    // when the entry cannot be read or `out` cannot hold the text.
    virtual bool getFileName(StringBuffer& out);
    virtual bool getFileNameHex(StringBuffer& out);
    virtual uint64_t getCompressedSize64();
    virtual uint64_t getUncompressedSize64();
    virtual int getCompressionLevel();
    virtual int getCompressionMethod();
    virtual bool isDirectory();
    virtual os::CalendarTime getLastModified();
    os::CalendarTime getLastModifiedPreferLocal();
    void setLastModified(uint16_t dosDate, uint16_t dosTime);
    virtual bool getComment(StringBuffer& out);
    void setComment(const char* text);
    // Traditional ZIP encryption.
    virtual bool isPasswordProtected();
    virtual bool isWinZipAes();

    // Writes the entry below `directory`: a folder, or a file with its data, times
    // and attributes. `count` grows by one for each file written.
    virtual bool inflateMappedEntry(const XString& directory, bool ignoreFolders,
                                    bool clearReadOnly, FailedDirectories& failedDirectories,
                                    int32_t& count, ProgressMonitor* monitor, LogBase& log,
                                    bool verbose);
    // Decrypts and decodes the entry's data into `output`, and checks the result
    // against the entry's size and CRC-32.
    virtual bool mappedInflateToOutput(Output& output, ProgressMonitor* monitor, LogBase& log,
                                       bool verbose);

    void setExcluded(bool excluded);
    bool isExcluded() const { return (flags_ & kExcluded) != 0; }
    void setReplacementName(const char* nameUtf8);

    Kind kind() const { return static_cast<Kind>(kind_); }
    int32_t serial() const { return serial_; }
    int32_t archiveId() const { return archiveId_; }
    ZipSystem* system() const { return system_; }

protected:
    uint8_t kind_ = kNull;
    uint8_t flags_ = 0;
    std::unique_ptr<StringBuffer> comment_;
    std::unique_ptr<StringBuffer> replacementName_;

private:
    uint32_t tag_ = kTag;
    int32_t serial_;
    ZipSystem* system_;
    int32_t archiveId_;
    uint16_t localDosDate_ = 0;
    uint16_t localDosTime_ = 0;
    uint8_t localTimeValid_ = 0;
    uint8_t compressionLevel_ = 6;
};

} // namespace vexmar
