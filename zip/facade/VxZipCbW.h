// Passes the engine's events on to the application's VxZipProgressW, in wide text.
#pragma once

#include "zip/facade/VxProgress.h"
#include "zip/base/stream/ProgressEvent.h"

namespace vexmar {

class VxZipCbW : public ProgressEvent {
public:
    explicit VxZipCbW(VxZipProgressW* app) : app_(app) {}

    void percentDone(int32_t percent, bool* abort) override;
    void abortCheck(bool* abort) override;
    void progressInfo(const char* name, const char* value) override;
    void fileToBeAdded(const char* name, int64_t size, bool* exclude) override;
    void dirToBeAdded(const char* name, bool* exclude) override;
    void fileAdded(const char* name, int64_t size, bool* abort) override;
    void fileToBeZipped(const char* name, int64_t size, bool* exclude) override;
    void fileZipped(const char* name, int64_t size, int64_t compressedSize, bool* abort) override;
    void toBeUnzipped(const char* name, int64_t compressedSize, int64_t size, bool isDirectory,
                      bool* exclude) override;
    void skippedForUnzip(const char* name, int64_t compressedSize, int64_t size,
                         bool isDirectory) override;
    void fileUnzipped(const char* name, int64_t compressedSize, int64_t size, bool isDirectory,
                      bool* abort) override;
    void addFilesBegin() override;
    void addFilesEnd() override;
    void writeZipBegin() override;
    void writeZipEnd() override;
    void unzipBegin() override;
    void unzipEnd() override;

private:
    VxZipProgressW* app_;
};

} // namespace vexmar
