// The engine's diagnostic log. Nearly every engine operation receives one as
// its last argument and records in it why it failed, in nested named contexts
// with named data items. The defaults here discard everything.
#pragma once

#include "zip/base/StringBuffer.h"

#include <cstdint>

namespace vexmar {

class XString;

class LogBase {
public:
    LogBase() = default;
    virtual ~LogBase();
    LogBase(const LogBase&) = delete;
    LogBase& operator=(const LogBase&) = delete;

    // Renderings of what was recorded; each empties `out` first. False when the
    // rendering did not fit in memory and `out` holds only its beginning.
    virtual bool errorXml(StringBuffer& out);
    virtual bool errorHtml(StringBuffer& out);
    virtual bool errorText(StringBuffer& out);
    virtual bool saveErrorXml(const char* pathUtf8);
    virtual bool logError(const char* message);
    virtual bool logInfo(const char* message);
    virtual bool logRaw(const char* line);
    virtual bool clearLog();
    // `flag` is accepted for callers' sake and has no effect.
    virtual bool enterContext(const char* name, bool flag);
    virtual bool leaveContext();
    virtual bool logData(const char* name, const char* value);

    bool logDataInt(const char* name, int value);
    bool logDataInt64(const char* name, int64_t value);
    bool logDataHex(const char* name, uint32_t value); // "0x%x"
    bool logDataStr(const char* name, const XString& value);
    bool logDataSb(const char* name, const StringBuffer& value);
    bool logDataQP(const char* name, const void* data, uint32_t n);
    bool logDataBytes(const char* name, const void* data, uint32_t n);
    // Error "Memory allocation failed." with "failurePoint" and "numBytes".
    void logOutOfMemory(const char* point, uint32_t numBytes);
    // The calling thread's last system error as "WindowsError" and "WindowsErrorCode".
    void logLastWindowsError();
    // The code's text as "WindowsError"; nothing for 0.
    void logWindowsError(uint32_t code);

    bool isVerbose() const { return verbose_ != 0; }
    void setVerbose(bool on) { verbose_ = on ? 1 : 0; }
    bool isProgressTrace() const { return progressTrace_ != 0; }
    void setProgressTrace(bool on) { progressTrace_ = on ? 1 : 0; }

private:
    uint8_t verbose_ = 0;
    uint8_t progressTrace_ = 0;
};

} // namespace vexmar
