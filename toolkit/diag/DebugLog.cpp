#include "toolkit/diag/DebugLog.h"

#include "os/Clock.h"
#include "os/File.h"
#include "os/PerfCounter.h"
#include "toolkit/diag/DebugLogFailure.h"
#include "toolkit/diag/OutputHold.h"
#include "toolkit/diag/PrintfFormat.h"
#include "toolkit/diag/SharedOutput.h"
#include "toolkit/diag/ToolkitStrings.h"

#include <atomic>
#include <cstdio>
#include <exception>
#include <string>

namespace Quillkit {

namespace {

// Set once a failed write has been reported, cleared by the next good one, so a
// run of failures is reported once.
std::atomic<bool> writeFailureReported{false};

bool expand(WString& out, const WChar* text, va_list* arguments) {
    if (!arguments) {
        out = text;
        return true;
    }
    va_list copy;
    va_copy(copy, *arguments);
    bool good = FormatPrintfV(out, text, copy);
    va_end(copy);
    return good;
}

void printToConsole(const WString& text) {
    std::string bytes = os::toUtf8(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

void printLineToConsole(const WChar* text) {
    printToConsole(WString(text) + QK_TEXT("\n"));
    std::fflush(stdout);
}

// "[seconds] " when this line is to be stamped (clearing the one-line request),
// then "> " for a marked line.
WString linePrefix(MetaOutput* out, bool marked) {
    WString prefix;
    if (out->GetStampNextLine() || out->GetStampEveryLine()) {
        out->SetStampNextLine(false);
        FormatPrintf(prefix, QK_TEXT("[%f] "), GetElapsedSeconds());
    }
    if (marked)
        prefix += QK_TEXT("> ");
    return prefix;
}

// Exactly one CR LF at the end: a final CR gets its LF, a final lone LF becomes
// CR LF, and anything else gets CR LF appended.
void endLine(WString& message) {
    size_t n = message.size();
    if (n > 0 && message[n - 1] == '\r')
        message += WChar('\n');
    else if (n > 0 && message[n - 1] == '\n' && (n == 1 || message[n - 2] != '\r'))
        message.insert(n - 1, 1, WChar('\r'));
    else if (n == 0 || message[n - 1] != '\n')
        message += QK_TEXT("\r\n");
}

// UTF-16 little-endian units, no byte-order mark.
std::string littleEndianBytes(const WString& text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (WChar unit : text) {
        bytes += char(uint16_t(unit) & 0xFF);
        bytes += char(uint16_t(unit) >> 8);
    }
    return bytes;
}

void writeToFile(MetaOutput* out, const WChar* text, va_list* arguments, bool marked) {
    WString message;
    if (!expand(message, text, arguments)) {
        printLineToConsole(QK_TEXT("PrintfV failed while trying to write message to debug log:"));
        printLineToConsole(text);
        if (out->GetCurrentError()->code == 0)
            ReportDebugLogFormatFailure(out);
        return;
    }
    endLine(message);
    WString line = linePrefix(out, marked) + message;
    std::string bytes =
        (out->GetOption1() & kDebugLogUtf8) ? os::toUtf8(line) : littleEndianBytes(line);
    uint32_t done = 0;
    uint32_t error = 0;
    if (os::writeFile(out->GetDebugLogHandle(), bytes.data(), uint32_t(bytes.size()), done,
                      error) &&
        done == bytes.size()) {
        writeFailureReported = false;
        return;
    }
    printLineToConsole(QK_TEXT("WriteFile failed while trying to write message to debug log:"));
    printToConsole(message);
    std::fflush(stdout);
    if (std::uncaught_exceptions() == 0 && !writeFailureReported.exchange(true))
        ReportDebugLogWriteFailure(out, error);
}

} // namespace

void WriteDebugLog(const WChar* text, va_list* arguments, bool marked) {
    MetaOutput* out = GetSharedOutputData();
    if (marked) {
        if (!out->GetLastLineMarked()) {
            WriteDebugLog(QK_TEXT(""), nullptr, false);
            out->SetLastLineMarked(true);
        }
    } else {
        out->SetLastLineMarked(false);
    }
    if (out->GetLoggingMode() == kDebugLogToConsole)
        WriteConsoleLine(text, arguments, marked);
    else if (out->GetDebugLogHandle() != os::kNoFile)
        writeToFile(out, text, arguments, marked);
    out->AppendToTranscript(text);
}

void WriteConsoleLine(const WChar* text, va_list* arguments, bool marked) {
    MetaOutput* out = GetSharedOutputData();
    printToConsole(linePrefix(out, marked));
    WString message;
    if (!expand(message, text, arguments))
        message = text;
    printToConsole(message);
    size_t n = os::wideLength(text);
    if (!message.empty() && (n == 0 || (text[n - 1] != '\r' && text[n - 1] != '\n')))
        printToConsole(QK_TEXT("\n"));
    std::fflush(stdout);
}

void LogDebugMessage(const WChar* format, ...) {
    OutputHold hold(GetSharedOutputData());
    va_list arguments;
    va_start(arguments, format);
    WriteDebugLog(format, &arguments, false);
    va_end(arguments);
    hold.Release();
}

void LogStringInserts(uint32_t id, const MessageInsert* inserts, size_t count) {
    // Loaded before taking the lock: a failing load raises, and raising takes the
    // error lock, which comes first.
    WString text = FormatMessageText(LoadToolkitString(id).c_str(), inserts, count);
    OutputHold hold(GetSharedOutputData());
    WriteDebugLog(text.c_str(), nullptr, false);
    hold.Release();
}

void CloseDebugLog() {
    MetaOutput* out = GetSharedOutputData();
    OutputHold hold(out);
    if (out->GetDebugLogHandle() != os::kNoFile) {
        os::closeFile(out->GetDebugLogHandle());
        out->SetDebugLogHandle(os::kNoFile);
        out->SetOption1(uint8_t(out->GetOption1() & ~kDebugLogUtf8));
    }
    hold.Release();
}

double GetElapsedSeconds() {
    MetaOutput* out = GetSharedOutputData();
    if (int64_t frequency = out->GetCounterFrequency())
        return double(os::performanceCount() - out->GetStartCount()) / double(frequency);
    return double(int64_t(os::tickCountMs()) - out->GetStartCount()) / 1000.0;
}

} // namespace Quillkit
