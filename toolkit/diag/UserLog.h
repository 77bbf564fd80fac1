// User messages: marked debug-log lines that also go to the user log (or, in
// logging mode kOutputUserLogMessages, to the console), and the details that
// accompany the error being reported.
#pragma once

#include "toolkit/diag/MessageFormat.h"
#include "toolkit/diag/Text.h"

#include <cstdarg>
#include <cstdint>

namespace Quillkit {

// One user message; the caller holds the output lock. A null text is empty.
// `noCapture` keeps it out of the pending error's history entry.
void WriteUserMessage(const WChar* text, va_list* arguments, bool noCapture);

// Toolkit string `id` (0 stands for "%1") formatted with `inserts`, as a user
// message, under the output lock.
void UserMessageInserts(uint32_t id, const MessageInsert* inserts, size_t count);
template <typename... Inserts> void UserMessage(uint32_t id, const Inserts&... inserts) {
    const MessageInsert list[] = {MessageInsert(inserts)..., MessageInsert(0)};
    UserMessageInserts(id, list, sizeof...(Inserts));
}

// The next unread user message (moving past it), null when all are read.
const WChar* GetNextUserLogMessage();
// The next error transcript (moving past it), null at the end.
const WChar* GetNextErrorTranscript();

// A formatted line for the "Error Details:" section of the error being reported.
// While an exception unwinds it goes in front of the lines already there, so the
// lines of nested functions read outermost first.
void AddErrorMessageToDebugLog(const WChar* format, ...);
void AddErrorMessageToDebugLogV(const WChar* format, va_list* arguments);

// The same for the "Additional details:" section, with a text taken as it is.
void AddAdditionalDetail(const WChar* text);

// AddErrorMessageToDebugLog with a text taken as it is.
void AddErrorDetail(const WChar* text);

} // namespace Quillkit
