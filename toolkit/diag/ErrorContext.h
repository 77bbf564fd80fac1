// An error context: if a toolkit error leaves its scope, the context's record
// becomes the reported error and the one it replaces moves into the report's
// additional details. So the outermost context decides what the user reads.
#pragma once

#include "toolkit/diag/ErrorRecord.h"

namespace Quillkit {

class ErrorContext {
public:
    // Kind 0 only adds `detail` to the additional details.
    ErrorContext(int32_t kind, int32_t code, const WString& summary = WString(),
                 const WString& detail = WString(), const WString& debugText = WString());
    ~ErrorContext();
    ErrorContext(const ErrorContext&) = delete;
    ErrorContext& operator=(const ErrorContext&) = delete;

    void Disarm() { armed_ = false; }

private:
    bool armed_ = true;
    ErrorRecord record_;
    int exceptionsAtEntry_;
};

} // namespace Quillkit
