// The engine's public face: an archive with wide-string arguments.
#pragma once

#include "os/WideText.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace vexmar {

class ClsZip;
class VxZipProgressW;

// What a listing shows of one entry.
struct VxEntryInfo {
    std::string nameUtf8;
    int method = 0;
    uint64_t compressedSize = 0;
    uint64_t size = 0;
    uint32_t crc32 = 0;
    bool isDirectory = false;
};

// Holds one owned auxiliary object for a facade object.
class VxObject {
public:
    virtual ~VxObject() = default;
};

class VxWideCharBase : public VxObject {
public:
    ~VxWideCharBase() override;

protected:
    VxWideCharBase();
    std::unique_ptr<ClsZip> impl_;
};

// What ExtractChanged found when it compared the folder with the archive.
struct VxChangedPlan {
    uint32_t checked = 0;      // file entries looked at
    uint32_t toWrite = 0;      // of those, the entries whose file is missing or differs
    uint64_t bytesToWrite = 0; // their uncompressed sizes (saturating: they come from the archive)
};

class VxZipW : public VxWideCharBase {
public:
    VxZipW();
    ~VxZipW() override;
    VxZipW(const VxZipW&) = delete;
    VxZipW& operator=(const VxZipW&) = delete;

    // Opens a copy of an archive image held in memory.
    bool OpenFromMemory(const void* data, uint32_t length);
    // Reads an archive file into the archive's own memory image and opens it.
    bool OpenFromFile(const os::wchar* path);
    // Opens the raw-data resource `resourceName` of the running executable.
    bool OpenMyEmbedded(const os::wchar* resourceName);
    // The same for any executable file.
    bool OpenEmbedded(const os::wchar* exePath, const os::wchar* resourceName);
    // Replaces the executable by a copy that carries the ZIP file as the resource
    // `resourceName`. Refuses a ZIP file that cannot be opened or has no entries,
    // and an executable that already has a resource of that name.
    bool AddEmbedded(const os::wchar* exeFilename, const os::wchar* resourceName,
                     const os::wchar* zipFilename);
    // The application's callbacks for Extract and Test (not owned); null for none.
    void SetEventCallback(VxZipProgressW* callback) { callback_ = callback; }
    // Writes every entry below `directory`; true when every entry attempted was written.
    bool Extract(const os::wchar* directory);
    // Extract for a folder an earlier Extract filled: every file entry is compared
    // with its file below `directory` (present, same size, same CRC-32), and only
    // the entries whose file is missing or differs are written again; a folder
    // that matches throughout is left untouched. Progress covers the checking as
    // well. With `onlyFile` (a full path), only the entries written to that file
    // are looked at. `rewritten` (may be null) receives the entries written.
    // `plan` (may be null) receives what the comparison found. `beforeWriting`, when
    // given, is asked once the comparison is done and only when something is to be
    // written: false stops with nothing written, and ExtractChanged returns false.
    bool ExtractChanged(const os::wchar* directory, const os::wchar* onlyFile = nullptr,
                        uint32_t* rewritten = nullptr, VxChangedPlan* plan = nullptr,
                        const std::function<bool(const VxChangedPlan&)>& beforeWriting = {});
    // Decodes every entry and checks it against its size and CRC-32, writing nothing.
    bool Test();
    void CloseZip();

    uint32_t NumEntries() const;
    // False when there is no entry i or its header cannot be read (the reason is in
    // the last-error log).
    bool GetEntryInfo(uint32_t i, VxEntryInfo& info);
    // Decodes entry i and hands its bytes to `take` piece by piece, checking its
    // size and CRC-32; `take` returns false to stop. False when the entry cannot
    // be decoded, fails its check or is stopped (the reason is in the last-error log).
    using EntryBytes = std::function<bool(const uint8_t* data, size_t length)>;
    bool ReadEntry(uint32_t i, const EntryBytes& take);

    // The password for encrypted entries, its bytes used exactly as given (no conversion
    // between code pages). Applies to the next Extract or Test, even on an open archive.
    void SetPassword(const void* bytes, uint32_t length);
    // The code page entry names without the UTF-8 flag are decoded from.
    void SetOemCodePage(int codePage);
    void SetVerboseLogging(bool on);
    // Threads Extract and Test decode, check and write entries on; 0 restores the default,
    // one per processor up to 8. With 1 everything happens on the calling thread. Events
    // come on the calling thread and in entry order whatever the count.
    void SetWorkerCount(uint32_t workers);
    uint32_t WorkerCount() const;
    // The last operation's log as XML-like text, in UTF-8.
    std::string LastErrorXml() const;

private:
    VxZipProgressW* callback_ = nullptr;
};

} // namespace vexmar
