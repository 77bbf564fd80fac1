// Function trace guards: when an exception leaves a traced function, its line
// ("Quillkit: Error in %s function" with the function's name) joins the details of
// the error being reported.
#pragma once

#include "toolkit/diag/Text.h"

namespace Quillkit {

class CallWithNoOptionalArgs {
public:
    explicit CallWithNoOptionalArgs(const WChar* format);
    virtual ~CallWithNoOptionalArgs();
    virtual void Call();

protected:
    WString format_;
};

class CallWith1OptionalArg : public CallWithNoOptionalArgs {
public:
    CallWith1OptionalArg(const WChar* format, const WChar* argument1);
    void Call() override;

protected:
    WString argument1_;
};

class CallWith2OptionalArgs : public CallWith1OptionalArg {
public:
    CallWith2OptionalArgs(const WChar* format, const WChar* argument1, const WChar* argument2);
    void Call() override;

protected:
    WString argument2_;
};

// Owns a guard for the scope of a function: runs it if the scope ends because an
// exception is unwinding, and destroys it in every case.
class TraceGuard {
public:
    explicit TraceGuard(CallWithNoOptionalArgs* call);
    // The toolkit's own line for the function `functionName`.
    explicit TraceGuard(const WChar* functionName);
    ~TraceGuard();
    TraceGuard(const TraceGuard&) = delete;
    TraceGuard& operator=(const TraceGuard&) = delete;

private:
    CallWithNoOptionalArgs* call_;
    int exceptionsAtEntry_;
};

} // namespace Quillkit
