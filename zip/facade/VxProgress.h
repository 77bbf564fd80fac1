// The application's callback interfaces: wide-string forms of the engine's events.
#pragma once

#include "os/WideText.h"

#include <cstdint>

namespace vexmar {

class VxBaseProgressW {
public:
    virtual ~VxBaseProgressW() = default;
    virtual void abortCheck(bool* abort) { *abort = false; }
    virtual void percentDone(int percent, bool* abort) {
        (void)percent;
        *abort = false;
    }
    virtual void progressInfo(const os::wchar* name, const os::wchar* value) {
        (void)name;
        (void)value;
    }
};

class VxZipProgressW : public VxBaseProgressW {
public:
    // Writing side; never raised while extracting.
    virtual void fileToBeAdded(const os::wchar*, int64_t, bool* exclude) { *exclude = false; }
    virtual void dirToBeAdded(const os::wchar*, bool* exclude) { *exclude = false; }
    virtual void fileAdded(const os::wchar*, int64_t, bool* abort) { *abort = false; }
    virtual void fileToBeZipped(const os::wchar*, int64_t, bool* exclude) { *exclude = false; }
    virtual void fileZipped(const os::wchar*, int64_t, int64_t, bool* abort) { *abort = false; }

    virtual void toBeUnzipped(const os::wchar* name, int64_t compressedSize, int64_t size,
                              bool isDirectory, bool* exclude) {
        (void)name, (void)compressedSize, (void)size, (void)isDirectory;
        *exclude = false;
    }
    virtual void fileUnzipped(const os::wchar* name, int64_t compressedSize, int64_t size,
                              bool isDirectory, bool* abort) {
        (void)name, (void)compressedSize, (void)size, (void)isDirectory;
        *abort = false;
    }
    virtual void skippedForUnzip(const os::wchar* name, int64_t compressedSize, int64_t size,
                                 bool isDirectory) {
        (void)name, (void)compressedSize, (void)size, (void)isDirectory;
    }

    // Writing side; never raised while extracting.
    virtual void addFilesBegin() {}
    virtual void addFilesEnd() {}
    virtual void writeZipBegin() {}
    virtual void writeZipEnd() {}

    virtual void unzipBegin() {}
    virtual void unzipEnd() {}
};

} // namespace vexmar
