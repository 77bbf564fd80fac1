// The tree a Logger records into, with its stack of open contexts. The root
// context "VexmarLog" is always open.
#pragma once

#include "zip/base/LogEntry2.h"
#include "zip/base/StringBuffer.h"

namespace vexmar {

class ErrorLog {
public:
    ErrorLog();
    ~ErrorLog();
    ErrorLog(const ErrorLog&) = delete;
    ErrorLog& operator=(const ErrorLog&) = delete;

    // Empties the tree and opens a fresh root.
    void reset();
    // Adds a context below the innermost open one and opens it.
    bool enterContext(const char* name);
    // Closes the innermost context; false (and nothing changes) at the root.
    bool leaveContext();
    // Adds a leaf below the innermost open context. `tag` is for data items.
    bool addEntry(LogEntry2::Kind kind, const char* tag, const char* text);

    // Each appends the tree to `out`; false when `out` could not hold all of it, and
    // then what it holds is the beginning of the rendering.
    [[nodiscard]] bool renderXml(StringBuffer& out) const;
    [[nodiscard]] bool renderText(StringBuffer& out) const;
    [[nodiscard]] bool renderHtml(StringBuffer& out) const;

    const LogEntry2* root() const { return root_; }

private:
    bool ensureRoot();

    LogEntry2* root_ = nullptr;
    LogEntry2* top_ = nullptr;
};

} // namespace vexmar
