#include "toolkit/diag/ErrorCodes.h"

#include "resources/StringIds.h"

#include <map>

namespace Quillkit {

uint32_t ErrorCodeToMessageId(int32_t code) {
    using namespace StringId;
    static const std::map<int32_t, uint32_t> map = {
        {ErrorCode::kNone, kNoErrorReported},
        {ErrorCode::kInternal, kInternalError},
        {ErrorCode::kFatalRuntime, kInternalError},
        {ErrorCode::kOutOfMemory, kOutOfMemory},
        {ErrorCode::kWindows, kWindowsFunctionFailed},
        {ErrorCode::kCRuntime, kInternalError},
        {ErrorCode::kTool, kInternalError},
        {ErrorCode::kInternalTool, kInternalToolFailed},
        {ErrorCode::kImproperCall, kInternalError},
        {ErrorCode::kWrongOrder, kWrongCallOrder},
        {ErrorCode::kMissing, kDataNotFound},
        {ErrorCode::kBadInput, kInputDataErrors},
        {ErrorCode::kParameter, kInternalError},
        {ErrorCode::kInvalidPath, kInternalError},
        {ErrorCode::kErrorInError, kErrorWhileReporting},
        {ErrorCode::kAbort, kAbortRequested},
    };
    auto found = map.find(code);
    return found != map.end() ? found->second : map.at(ErrorCode::kInternal);
}

} // namespace Quillkit
