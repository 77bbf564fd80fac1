// The state an archive object shares with its entries.
#pragma once

#include "zip/base/StringBuffer.h"
#include "zip/base/VexmarCritSec.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace vexmar {

class ClsZip2;
class ZipEntryBase;

class ZipSystem : public VexmarCritSec {
public:
    ZipSystem();
    ~ZipSystem() override;

    int32_t refCount = 0;
    uint8_t overwriteExisting = 1;
    uint8_t clearReadOnly = 0;
    int32_t encryption = 0; // verdict of the last open: 0 none, 4 WinZip AES, 5 password
    int32_t keyLength = 128;
    int32_t oemCodePage;
    int32_t progressHeartbeatMs = 0;
    StringBuffer password;
    // Threads that extract or test entries side by side; 1 works on the calling thread alone.
    uint32_t workers = defaultWorkers();

    // One per processor, at most kMaxDefaultWorkers.
    static uint32_t defaultWorkers();
    static constexpr uint32_t kMaxDefaultWorkers = 8;

    // Archive objects; the system owns them.
    void addArchive(std::unique_ptr<ClsZip2> archive);
    ClsZip2* findArchive(int32_t id) const;
    // Keeps the first archive object and destroys the others.
    void keepFirstArchive();

    // Entries, in central-directory order; the system owns them.
    bool appendEntry(std::unique_ptr<ZipEntryBase> entry);
    void discardEntries();
    uint32_t numEntries() const { return static_cast<uint32_t>(entries_.size()); }
    // Null when i is out of range or the slot fails the tag test.
    ZipEntryBase* entryAt(uint32_t i) const;

private:
    std::vector<std::unique_ptr<ClsZip2>> archives_;
    std::vector<std::unique_ptr<ZipEntryBase>> entries_;
};

} // namespace vexmar
