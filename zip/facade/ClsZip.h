// The locked, reference-holding handle behind VxZipW. It finds its archive object by
// id in the shared ZipSystem and holds its own lock for the whole of each operation.
#pragma once

#include "zip/base/ClsBaseI.h"
#include "zip/base/VexmarCritSec.h"

#include <cstdint>

namespace vexmar {

class ClsZip2;
class ZipSystem;

class ClsZip : public ClsBaseI, public VexmarCritSec {
public:
    ClsZip();
    ~ClsZip() override;
    ClsZip(const ClsZip&) = delete;
    ClsZip& operator=(const ClsZip&) = delete;

    // The archive object, or null when it is no longer in the system's list.
    ClsZip2* archive() const;
    ZipSystem& system() const { return *system_; }

    bool getVerboseLogging() override;
    void setVerboseLogging(bool on) override;
    void getDebugLogFilePath(XString& out) override;
    void setDebugLogFilePath(const XString& path) override;
    void getLastErrorText(XString& out) override;
    void getLastErrorXml(XString& out) override;
    void getLastErrorHtml(XString& out) override;
    bool saveLastError(const XString& path) override;
    void logException(const char* textUtf8) override;
    void logBracketedError(const char* operationName, const char* messageUtf8) override;

private:
    ZipSystem* system_;
    int32_t archiveId_;
};

} // namespace vexmar
