#include "toolkit/diag/TraceGuard.h"

#include "toolkit/diag/UserLog.h"

#include <exception>

namespace Quillkit {

CallWithNoOptionalArgs::CallWithNoOptionalArgs(const WChar* format) : format_(format) {}
CallWithNoOptionalArgs::~CallWithNoOptionalArgs() = default;
void CallWithNoOptionalArgs::Call() {
    AddErrorMessageToDebugLog(format_.c_str());
}

CallWith1OptionalArg::CallWith1OptionalArg(const WChar* format, const WChar* argument1)
    : CallWithNoOptionalArgs(format), argument1_(argument1) {}
void CallWith1OptionalArg::Call() {
    AddErrorMessageToDebugLog(format_.c_str(), argument1_.c_str());
}

CallWith2OptionalArgs::CallWith2OptionalArgs(const WChar* format, const WChar* argument1,
                                             const WChar* argument2)
    : CallWith1OptionalArg(format, argument1), argument2_(argument2) {}
void CallWith2OptionalArgs::Call() {
    AddErrorMessageToDebugLog(format_.c_str(), argument1_.c_str(), argument2_.c_str());
}

TraceGuard::TraceGuard(CallWithNoOptionalArgs* call)
    : call_(call), exceptionsAtEntry_(std::uncaught_exceptions()) {}

TraceGuard::TraceGuard(const WChar* functionName)
    : TraceGuard(
          new CallWith1OptionalArg(QK_TEXT("Quillkit: Error in %s function"), functionName)) {}

TraceGuard::~TraceGuard() {
    if (std::uncaught_exceptions() > exceptionsAtEntry_)
        call_->Call();
    delete call_;
}

} // namespace Quillkit
