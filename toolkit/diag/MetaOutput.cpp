#include "toolkit/diag/MetaOutput.h"

#include "toolkit/diag/ErrorCodes.h"
#include "toolkit/diag/Raise.h"

namespace Quillkit {

const WChar* MetaOutput::GetNextUserLogMessage() {
    if (GetLoggingMode() == kOutputUserLogMessages) {
        RaiseErrorMessage(ErrorCode::kImproperCall,
                          QK_TEXT("Call to GetNextUserLogMessage not allowed when LoggingMode is "
                                  "set to OutputUserLogMessages."));
        return nullptr;
    }
    const WChar* message = PeekUserLogMessage();
    if (message)
        NextUserLogMessage();
    return message;
}

const WChar* MetaOutput::GetNextErrorTranscript() {
    const WChar* transcript = PeekTranscript();
    if (transcript)
        NextTranscript();
    return transcript;
}

MetaOutput::~MetaOutput() = default;

} // namespace Quillkit
