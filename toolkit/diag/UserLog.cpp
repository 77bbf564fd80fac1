#include "toolkit/diag/UserLog.h"

#include "toolkit/diag/DebugLog.h"
#include "toolkit/diag/OutputHold.h"
#include "toolkit/diag/PrintfFormat.h"
#include "toolkit/diag/SharedOutput.h"
#include "toolkit/diag/ToolkitStrings.h"

#include <exception>

namespace Quillkit {

namespace {

bool unwinding() {
    return std::uncaught_exceptions() > 0;
}

} // namespace

void WriteUserMessage(const WChar* text, va_list* arguments, bool noCapture) {
    MetaOutput* out = GetSharedOutputData();
    WString message;
    if (text && arguments) {
        va_list copy;
        va_copy(copy, *arguments);
        if (!FormatPrintfV(message, text, copy))
            message = text;
        va_end(copy);
    } else if (text) {
        message = text;
    }
    WriteDebugLog(message.c_str(), nullptr, true);
    if (out->GetLoggingMode() == kOutputUserLogMessages) {
        WriteConsoleLine(message.c_str(), nullptr, false);
        if (out->GetCurrentError()->code == 0)
            return;
    }
    out->AddUserLogMessage(message.c_str(), noCapture);
}

void UserMessageInserts(uint32_t id, const MessageInsert* inserts, size_t count) {
    // Loaded before taking the lock, as in LogString.
    WString text = FormatMessageText(LoadToolkitString(id).c_str(), inserts, count);
    OutputHold hold(GetSharedOutputData());
    WriteUserMessage(text.c_str(), nullptr, false);
    hold.Release();
}

const WChar* GetNextUserLogMessage() {
    return GetSharedOutputData()->GetNextUserLogMessage();
}

const WChar* GetNextErrorTranscript() {
    return GetSharedOutputData()->GetNextErrorTranscript();
}

// Writes nothing to the log, so there is no failure to raise when letting go.
static void addDetail(bool additional, const WChar* format, va_list* arguments) {
    MetaOutput* out = GetSharedOutputData();
    OutputHold hold(out);
    if (additional && unwinding())
        out->PushAdditionalDetailFront(format, arguments);
    else if (additional)
        out->PushAdditionalDetailBack(format, arguments);
    else if (unwinding())
        out->PushErrorDetailFront(format, arguments);
    else
        out->PushErrorDetailBack(format, arguments);
}

void AddErrorMessageToDebugLog(const WChar* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    addDetail(false, format, &arguments);
    va_end(arguments);
}

void AddErrorMessageToDebugLogV(const WChar* format, va_list* arguments) {
    addDetail(false, format, arguments);
}

void AddErrorDetail(const WChar* text) {
    addDetail(false, text, nullptr);
}

void AddAdditionalDetail(const WChar* text) {
    addDetail(true, text, nullptr);
}

} // namespace Quillkit
