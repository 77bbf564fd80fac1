// The engine's callback interface: progress, abort requests and per-entry
// notifications. Every default does nothing and answers false through its out
// flag. Texts are UTF-8; sizes are in bytes. Calls arrive on the thread that
// runs the operation, with the archive object's lock held.
#pragma once

#include <cstdint>

namespace vexmar {

class ProgressEvent {
public:
    ProgressEvent() = default;
    virtual ~ProgressEvent();

    virtual void percentDone(int32_t percent, bool* abort);
    virtual void abortCheck(bool* abort);
    virtual void progressInfo(const char* name, const char* value);

    // Notifications this program never raises (slots 4 to 21 of the interface),
    // kept so that every slot stays in its place for derived classes.
    virtual void reservedNotification(int32_t slot);

    // Writing side: raised only while archives are written.
    virtual void fileToBeAdded(const char* name, int64_t size, bool* exclude);
    virtual void dirToBeAdded(const char* name, bool* exclude);
    virtual void fileAdded(const char* name, int64_t size, bool* abort);
    virtual void fileToBeZipped(const char* name, int64_t size, bool* exclude);
    virtual void fileZipped(const char* name, int64_t size, int64_t compressedSize, bool* abort);

    // Extraction.
    virtual void toBeUnzipped(const char* name, int64_t compressedSize, int64_t size,
                              bool isDirectory, bool* exclude);
    virtual void skippedForUnzip(const char* name, int64_t compressedSize, int64_t size,
                                 bool isDirectory);
    virtual void fileUnzipped(const char* name, int64_t compressedSize, int64_t size,
                              bool isDirectory, bool* abort);

    // Writing side: the bracket of adding files and of writing an archive.
    virtual void addFilesBegin();
    virtual void addFilesEnd();
    virtual void writeZipBegin();
    virtual void writeZipEnd();

    virtual void unzipBegin();
    virtual void unzipEnd();
};

} // namespace vexmar
