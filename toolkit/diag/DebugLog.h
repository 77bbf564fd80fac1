// The debug log: a UTF-16LE text file that a host opens and hands over as a
// handle (or the console instead), written one line per call.
#pragma once

#include "toolkit/diag/MessageFormat.h"
#include "toolkit/diag/Text.h"

#include <cstdarg>
#include <cstdint>

namespace Quillkit {

// Writes one line; the caller holds the output lock. With `arguments`, `text` is
// a printf-style format; without, it is written unchanged. A marked line (a user-
// visible one) carries "> "; a run of marked lines is set off by an empty line.
void WriteDebugLog(const WChar* text, va_list* arguments, bool marked);

// The console form of a debug-log line, for logging mode kDebugLogToConsole.
void WriteConsoleLine(const WChar* text, va_list* arguments, bool marked);

// One unmarked line under the output lock.
void LogDebugMessage(const WChar* format, ...);

// Toolkit string `id`, formatted with `inserts`, as one unmarked line.
void LogStringInserts(uint32_t id, const MessageInsert* inserts, size_t count);
template <typename... Inserts> void LogString(uint32_t id, const Inserts&... inserts) {
    const MessageInsert list[] = {MessageInsert(inserts)..., MessageInsert(0)};
    LogStringInserts(id, list, sizeof...(Inserts));
}

// Closes the debug log's handle, if one is set.
void CloseDebugLog();

// Seconds since the shared output data was created.
double GetElapsedSeconds();

} // namespace Quillkit
