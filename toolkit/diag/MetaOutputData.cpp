#include "toolkit/diag/MetaOutputData.h"

#include "os/Clock.h"
#include "os/PerfCounter.h"
#include "toolkit/diag/DebugLog.h"
#include "toolkit/diag/PrintfFormat.h"
#include "toolkit/diag/ToolkitStrings.h"
#include "toolkit/diag/UserLog.h"

#include "resources/StringIds.h"

namespace Quillkit {

namespace {

WString formatted(const WChar* format, va_list* arguments) {
    if (!arguments)
        return format ? WString(format) : WString();
    WString text;
    va_list copy;
    va_copy(copy, *arguments);
    if (!FormatPrintfV(text, format, copy))
        text = format;
    va_end(copy);
    return text;
}

// Appends to a capture, separated from what it holds by `separator`.
void appendSeparated(WString& capture, const WChar* text, const WChar* separator) {
    if (!capture.empty())
        capture += separator;
    capture += text;
}

const WChar* frontOrNull(const std::deque<WString>& lines) {
    return lines.empty() ? nullptr : lines.front().c_str();
}

void popFront(std::deque<WString>& lines) {
    if (!lines.empty())
        lines.pop_front();
}

} // namespace

MetaOutputData::MetaOutputData()
    : historyCursor(errorHistory.end()), transcriptCursor(transcripts.end()) {
    if (os::performanceFrequency(counterFrequency)) {
        startCount = os::performanceCount();
    } else {
        counterFrequency = 0;
        startCount = int64_t(os::tickCountMs());
    }
}

MetaOutputData::~MetaOutputData() = default;

OwnedLock* MetaOutputData::GetOutputLock() {
    return &outputLock;
}
OwnedLock* MetaOutputData::GetErrorLock() {
    return &errorLock;
}
const WChar* MetaOutputData::GetDebugLogPath() {
    return debugLogPath.c_str();
}
void MetaOutputData::SetDebugLogPath(const WChar* path) {
    debugLogPath = path ? path : QK_TEXT("");
}
os::FileHandle MetaOutputData::GetDebugLogHandle() {
    return debugLogHandle;
}
void MetaOutputData::SetDebugLogHandle(os::FileHandle handle) {
    debugLogHandle = handle;
}
uint8_t MetaOutputData::GetOption1() {
    return option1;
}
void MetaOutputData::SetOption1(uint8_t value) {
    option1 = value;
}
uint8_t MetaOutputData::GetOption2() {
    return option2;
}
void MetaOutputData::SetOption2(uint8_t value) {
    option2 = value;
}

const WChar* MetaOutputData::GetText2() {
    text2 = text1;
    return text2.c_str();
}

void MetaOutputData::FormatText1(const WChar* format, va_list* arguments) {
    text1 = formatted(format, arguments);
}

void* MetaOutputData::GetPointer1() {
    return pointer1;
}
void MetaOutputData::SetPointer1(void* value) {
    pointer1 = value;
}
void* MetaOutputData::GetPointer2() {
    return pointer2;
}
void MetaOutputData::SetPointer2(void* value) {
    pointer2 = value;
}
uint16_t MetaOutputData::GetLanguage() {
    return language;
}
void MetaOutputData::SetLanguage(uint16_t value) {
    language = value;
}
bool MetaOutputData::GetStampNextLine() {
    return stampNextLine;
}
void MetaOutputData::SetStampNextLine(bool value) {
    stampNextLine = value;
}
bool MetaOutputData::GetStampEveryLine() {
    return stampEveryLine;
}
void MetaOutputData::SetStampEveryLine(bool value) {
    stampEveryLine = value;
}
int64_t MetaOutputData::GetStartCount() {
    return startCount;
}
int64_t MetaOutputData::GetCounterFrequency() {
    return counterFrequency;
}
int32_t MetaOutputData::GetLoggingMode() {
    return loggingMode;
}
void MetaOutputData::SetLoggingMode(int32_t mode) {
    loggingMode = mode;
}
uint32_t MetaOutputData::GetValue3() {
    return value3;
}
void MetaOutputData::SetValue3(uint32_t value) {
    value3 = value;
}
const ErrorRecord* MetaOutputData::GetCurrentError() {
    return &currentError;
}
void MetaOutputData::SetCurrentErrorCode(int32_t code) {
    currentError.code = code;
}
void MetaOutputData::SetCurrentError(const ErrorRecord& record) {
    currentError = record;
}
void MetaOutputData::ClearCurrentError() {
    currentError = ErrorRecord();
}
bool MetaOutputData::GetHoldReport() {
    return holdReport;
}
void MetaOutputData::SetHoldReport(bool value) {
    holdReport = value;
}
uint32_t MetaOutputData::GetNesting() {
    return nesting;
}
void MetaOutputData::SetNesting(uint32_t value) {
    nesting = value;
}
bool MetaOutputData::GetLastLineMarked() {
    return lastLineMarked;
}
void MetaOutputData::SetLastLineMarked(bool value) {
    lastLineMarked = value;
}
bool MetaOutputData::GetAbortRequested() {
    return abortRequested;
}
void MetaOutputData::SetAbortRequested(bool value) {
    abortRequested = value;
}

void MetaOutputData::AddUserLogMessage(const WChar* text, bool noCapture) {
    userLog.emplace_back(text);
    if (!userLogHasUnread) {
        userLogRead = uint32_t(userLog.size() - 1);
        userLogHasUnread = true;
    }
    if (!noCapture)
        AppendToErrorCapture(text);
}

void MetaOutputData::AddErrorToHistory(const ErrorRecord& record) {
    errorHistory.push_back(record);
}

void MetaOutputData::AddNoteToHistory(const WChar* text) {
    ErrorRecord note;
    note.kind = kKindNote;
    note.code = -60;
    note.summary = text;
    errorHistory.push_back(note);
}

const WChar* MetaOutputData::PeekUserLogMessage() {
    return userLogHasUnread ? userLog[userLogRead].c_str() : nullptr;
}

void MetaOutputData::NextUserLogMessage() {
    if (userLogHasUnread && ++userLogRead >= userLog.size())
        userLogHasUnread = false;
}

void MetaOutputData::ClearUserLog() {
    userLog.clear();
    userLogRead = 0;
    userLogHasUnread = false;
}

const ErrorRecord* MetaOutputData::NextHistoryRecord() {
    if (historyCursor == errorHistory.end())
        return nullptr;
    return &*historyCursor++;
}

const ErrorRecord* MetaOutputData::LastHistoryRecord() {
    return errorHistory.empty() ? nullptr : &errorHistory.back();
}

void MetaOutputData::SetHistoryNeedsUpdate() {
    historyNeedsUpdate = true;
}

void MetaOutputData::WriteCurrentError() {
    // The replacing error goes into the entry its raise created, the last one;
    // the reading cursor may still stand on an older error's entry.
    if (historyNeedsUpdate) {
        if (!errorHistory.empty())
            errorHistory.back() = currentError;
        historyNeedsUpdate = false;
    }
    if (!currentError.summary.empty()) {
        uint32_t id =
            currentError.kind == kKindError ? StringId::kErrorLine : StringId::kWarningLine;
        WString line = LoadToolkitString(id, currentError.code, currentError.summary);
        WriteUserMessage(line.c_str(), nullptr, true);
    }
    if (!currentError.detail.empty())
        WriteUserMessage(currentError.detail.c_str(), nullptr, true);
    if (!currentError.debugText.empty())
        WriteDebugLog(currentError.debugText.c_str(), nullptr, false);
}

void MetaOutputData::AppendToErrorCapture(const WChar* text) {
    if (errorCapture)
        appendSeparated(*errorCapture, text, QK_TEXT("\n"));
}

const WChar* MetaOutputData::PeekTranscript() {
    return transcriptCursor == transcripts.end() ? nullptr : transcriptCursor->c_str();
}

void MetaOutputData::NextTranscript() {
    if (transcriptCursor != transcripts.end())
        ++transcriptCursor;
}

void MetaOutputData::AppendToTranscript(const WChar* text) {
    if (transcriptCapture)
        appendSeparated(*transcriptCapture, text, QK_TEXT("\r\n"));
}

void MetaOutputData::BeginErrorCapture(const ErrorRecord& record) {
    errorHistory.push_back(record);
    errorCapture = &errorHistory.back().detail;
    transcripts.emplace_back();
    transcriptCapture = &transcripts.back();
}

void MetaOutputData::DropHistoryAtCursor() {
    if (historyCursor == errorHistory.end())
        return;
    if (errorCapture == &historyCursor->detail)
        errorCapture = nullptr;
    historyCursor = errorHistory.erase(historyCursor);
}

void MetaOutputData::DropTranscriptAtCursor() {
    if (transcriptCursor == transcripts.end())
        return;
    if (transcriptCapture == &*transcriptCursor)
        transcriptCapture = nullptr;
    transcriptCursor = transcripts.erase(transcriptCursor);
}

void MetaOutputData::EndErrorCapture() {
    errorCapture = nullptr;
    transcriptCapture = nullptr;
}

void MetaOutputData::ClearHistory() {
    EndErrorCapture();
    errorHistory.clear();
    historyCursor = errorHistory.end();
    transcripts.clear();
    transcriptCursor = transcripts.end();
}

void MetaOutputData::PushErrorDetailFront(const WChar* format, va_list* arguments) {
    errorDetails.push_front(formatted(format, arguments));
}
void MetaOutputData::PushErrorDetailBack(const WChar* format, va_list* arguments) {
    errorDetails.push_back(formatted(format, arguments));
}
bool MetaOutputData::ErrorDetailsEmpty() {
    return errorDetails.empty();
}
const WChar* MetaOutputData::ErrorDetailFront() {
    return frontOrNull(errorDetails);
}
void MetaOutputData::PopErrorDetail() {
    popFront(errorDetails);
}

void MetaOutputData::PushAdditionalDetailFront(const WChar* format, va_list* arguments) {
    additionalDetails.push_front(formatted(format, arguments));
}
void MetaOutputData::PushAdditionalDetailBack(const WChar* format, va_list* arguments) {
    additionalDetails.push_back(formatted(format, arguments));
}
bool MetaOutputData::AdditionalDetailsEmpty() {
    return additionalDetails.empty();
}
const WChar* MetaOutputData::AdditionalDetailFront() {
    return frontOrNull(additionalDetails);
}
void MetaOutputData::PopAdditionalDetail() {
    popFront(additionalDetails);
}

uint32_t MetaOutputData::TranslatorCount() {
    return uint32_t(translators.size());
}
ExceptionTranslator MetaOutputData::TranslatorAt(uint32_t index) {
    return index < translators.size() ? translators[index] : nullptr;
}
uint32_t MetaOutputData::TranslatorUseCount(uint32_t index) {
    return index < translatorUse.size() ? translatorUse[index] : 0;
}
void MetaOutputData::IncrementTranslatorUse(uint32_t index) {
    if (index < translatorUse.size())
        ++translatorUse[index];
}
void MetaOutputData::DecrementTranslatorUse(uint32_t index) {
    if (index < translatorUse.size() && translatorUse[index] > 0)
        --translatorUse[index];
}
void MetaOutputData::AddTranslator(ExceptionTranslator translator) {
    translators.push_back(translator);
    translatorUse.push_back(1);
}
void MetaOutputData::RemoveTranslator(uint32_t index) {
    if (index >= translators.size())
        return;
    translators.erase(translators.begin() + index);
    translatorUse.erase(translatorUse.begin() + index);
}

void MetaOutputData::RewindHistoryCursor() {
    if (historyCursor == errorHistory.end() && !errorHistory.empty())
        historyCursor = std::prev(errorHistory.end());
}

void MetaOutputData::RewindTranscriptCursor() {
    if (transcriptCursor == transcripts.end() && !transcripts.empty())
        transcriptCursor = std::prev(transcripts.end());
}

} // namespace Quillkit
