#include "zip/base/LogEntry2.h"

namespace vexmar {

LogEntry2::~LogEntry2() {
    // Iterative, so that a long list of siblings does not recurse deeply.
    LogEntry2* child = firstChild_;
    while (child) {
        LogEntry2* next = child->next_;
        delete child;
        child = next;
    }
}

void LogEntry2::addChild(LogEntry2* child) {
    child->parent_ = this;
    if (lastChild_)
        lastChild_->next_ = child;
    else
        firstChild_ = child;
    lastChild_ = child;
}

} // namespace vexmar
