// The log that records: an ErrorLog tree under the logger's own lock, and,
// when a debug log file is set, a line per record appended to that file.
#pragma once

#include "zip/base/ErrorLog.h"
#include "zip/base/LogBase.h"
#include "zip/base/VexmarCritSec.h"

#include <cstdint>

namespace vexmar {

class XString;

class Logger : public LogBase, public VexmarCritSec {
public:
    Logger();
    ~Logger() override;

    bool errorXml(StringBuffer& out) override;
    bool errorHtml(StringBuffer& out) override;
    bool errorText(StringBuffer& out) override;
    bool saveErrorXml(const char* pathUtf8) override;
    bool logError(const char* message) override;
    bool logInfo(const char* message) override;
    bool logRaw(const char* line) override;
    bool clearLog() override;
    bool enterContext(const char* name, bool flag) override;
    bool leaveContext() override;
    bool logData(const char* name, const char* value) override;

    // A null or empty path turns the debug log file off.
    bool setDebugLogFilePath(const char* pathUtf8);
    // Null when off.
    const XString* getDebugLogFilePath() const { return debugLogPath_; }
    int depth() const { return depth_; }

private:
    bool addMessage(LogEntry2::Kind kind, const char* message);
    void writeDebugLine(const StringBuffer& line);

    ErrorLog log_;
    int32_t depth_ = 0;
    XString* debugLogPath_ = nullptr;
};

} // namespace vexmar
