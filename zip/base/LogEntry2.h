// One record of an ErrorLog tree: a context with children, or a leaf holding
// an error, an info line, a raw line or a named data item.
#pragma once

#include "zip/base/StringBuffer.h"

namespace vexmar {

class LogEntry2 {
public:
    enum Kind : char {
        kContext = 'C',
        kError = 'E',
        kInfo = 'I',
        kRaw = 'X',
        kData = 'T',
    };

    explicit LogEntry2(Kind kind) : kind_(kind) {}
    ~LogEntry2();
    LogEntry2(const LogEntry2&) = delete;
    LogEntry2& operator=(const LogEntry2&) = delete;

    Kind kind() const { return kind_; }
    // A context's name or a data item's tag.
    StringBuffer& tag() { return tag_; }
    const StringBuffer& tag() const { return tag_; }
    StringBuffer& text() { return text_; }
    const StringBuffer& text() const { return text_; }

    // Children of a context, in the order they were added.
    void addChild(LogEntry2* child);
    const LogEntry2* firstChild() const { return firstChild_; }
    const LogEntry2* nextSibling() const { return next_; }
    LogEntry2* parent() const { return parent_; }

private:
    Kind kind_;
    StringBuffer tag_;
    StringBuffer text_;
    LogEntry2* parent_ = nullptr;
    LogEntry2* firstChild_ = nullptr;
    LogEntry2* lastChild_ = nullptr;
    LogEntry2* next_ = nullptr;
};

} // namespace vexmar
