// The base of the engine's public objects: the last-error log and the bracket
// every public operation runs in.
#pragma once

#include "zip/base/ClsBaseI.h"
#include "zip/base/Logger.h"
#include "zip/base/VexmarObject.h"

#include <cstdint>

namespace vexmar {

class ClsBase : public ClsBaseI, public VexmarObject {
public:
    ClsBase();
    ~ClsBase() override;

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

    // The bracket of a public operation. Begin clears the log, enters a context
    // named after the operation and records the build and the verbose flag;
    // end records "Success." or "Failed." and leaves that context.
    void beginOperation(const char* operationName);
    void endOperation(bool success);

    Logger& lastErrorLog() { return m_log; }

protected:
    Logger m_log;
    uint8_t m_verboseLogging = 0;

private:
    uint32_t tag_;
};

} // namespace vexmar
