#include "os/SystemError.h"
#include "os/SystemMessage.h"
#include "toolkit/diag/ErrorCodes.h"
#include "toolkit/diag/PrintfFormat.h"
#include "toolkit/diag/Raise.h"
#include "toolkit/diag/SharedOutput.h"
#include "toolkit/diag/StringBlock.h"
#include "toolkit/diag/ToolkitStrings.h"
#include "toolkit/diag/TraceGuard.h"

#include "resources/StringIds.h"

#include <cerrno>
#include <cstring>

namespace Quillkit {

void RaiseWindowsErrorCode(uint32_t errorCode, const WChar* functionName) {
    uint16_t language = MapNeutralLanguage(GetSharedOutputData()->GetLanguage());
    WString message;
    if (!os::systemMessage(errorCode, language, message)) {
        TraceGuard trace(new CallWithNoOptionalArgs(
            QK_TEXT("Unable to retrieve or format Windows Error message.")));
        RaiseError(ErrorCode::kWindows);
        return;
    }
    message = message.substr(0, message.find(WChar('\r')));
    RaiseDetailedError(ErrorCode::kWindows, LoadToolkitString(StringId::kInternalSystemError),
                       LoadToolkitString(StringId::kSystemOperationFailed, message),
                       PrintfText(QK_TEXT("Windows function %s returned an error. Error code: %u"),
                                  functionName, unsigned(errorCode)));
}

void RaiseWindowsError(const WChar* functionName) {
    RaiseWindowsErrorCode(os::lastErrorCode(), functionName);
}

void RaiseCRuntimeError(const WChar* functionName) {
    int number = errno;
    const char* text = std::strerror(number);
    if (!text || !*text) {
        RaiseError(ErrorCode::kCRuntime);
        return;
    }
    WString message = os::fromUtf8(text, std::strlen(text));
    RaiseDetailedError(
        ErrorCode::kCRuntime, LoadToolkitString(StringId::kInternalSystemError),
        LoadToolkitString(StringId::kSystemOperationFailed, message),
        PrintfText(QK_TEXT("C Runtime function %s returned an error. Error code: %d"), functionName,
                   number));
}

} // namespace Quillkit
