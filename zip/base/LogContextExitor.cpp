#include "zip/base/LogContextExitor.h"

#include "zip/base/LogBase.h"

namespace vexmar {

LogContextExitor::LogContextExitor(LogBase* log, const char* name)
    : LogContextExitor(log, name, true) {}

LogContextExitor::LogContextExitor(LogBase& log, const char* name)
    : LogContextExitor(&log, name, true) {}

LogContextExitor::LogContextExitor(LogBase& log, const char* name, bool enter)
    : LogContextExitor(&log, name, enter) {}

LogContextExitor::LogContextExitor(LogBase* log, const char* name, bool enter)
    : log_(enter ? log : nullptr) {
    if (log_)
        log_->enterContext(name, true);
}

LogContextExitor::~LogContextExitor() {
    if (log_)
        log_->leaveContext();
}

} // namespace vexmar
