#include "zip/base/ErrorLog.h"

#include <new>

namespace vexmar {

ErrorLog::ErrorLog() {
    ensureRoot();
}

ErrorLog::~ErrorLog() {
    delete root_;
}

void ErrorLog::reset() {
    delete root_;
    root_ = nullptr;
    top_ = nullptr;
    ensureRoot();
}

// The root is made again on the next record if memory ran out when it was due.
bool ErrorLog::ensureRoot() {
    if (root_)
        return true;
    root_ = new (std::nothrow) LogEntry2(LogEntry2::kContext);
    if (!root_)
        return false;
    root_->tag().setString("VexmarLog");
    top_ = root_;
    return true;
}

bool ErrorLog::enterContext(const char* name) {
    if (!ensureRoot())
        return false;
    auto* context = new (std::nothrow) LogEntry2(LogEntry2::kContext);
    if (!context)
        return false;
    context->tag().setString(name);
    top_->addChild(context);
    top_ = context;
    return true;
}

bool ErrorLog::leaveContext() {
    if (!top_ || top_ == root_)
        return false;
    top_ = top_->parent();
    return true;
}

bool ErrorLog::addEntry(LogEntry2::Kind kind, const char* tag, const char* text) {
    if (!ensureRoot())
        return false;
    auto* entry = new (std::nothrow) LogEntry2(kind);
    if (!entry)
        return false;
    bool ok = entry->tag().setString(tag) && entry->text().setString(text);
    top_->addChild(entry);
    return ok;
}

} // namespace vexmar
