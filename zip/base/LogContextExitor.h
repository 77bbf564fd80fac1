// Enters a log context for the lifetime of a scope.
#pragma once

namespace vexmar {

class LogBase;

class LogContextExitor {
public:
    // A null log makes the guard do nothing.
    LogContextExitor(LogBase* log, const char* name);
    LogContextExitor(LogBase& log, const char* name);
    // Enters (and later leaves) the context only when `enter` is true.
    LogContextExitor(LogBase* log, const char* name, bool enter);
    LogContextExitor(LogBase& log, const char* name, bool enter);
    ~LogContextExitor();
    LogContextExitor(const LogContextExitor&) = delete;
    LogContextExitor& operator=(const LogContextExitor&) = delete;

private:
    LogBase* log_;
};

} // namespace vexmar
