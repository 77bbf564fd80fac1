// The interface of the shared output data: one object per process that every
// module built with the toolkit uses, whichever module created it. Modules reach
// it through these virtual operations only, so their order is fixed: it is the
// contract between modules built at different times.
#pragma once

#include "os/File.h"
#include "toolkit/diag/ErrorRecord.h"
#include "toolkit/diag/OwnedLock.h"
#include "toolkit/diag/Text.h"

#include <cstdarg>
#include <cstdint>

namespace Quillkit {

// Turns the exception being handled into a toolkit error: it rethrows it inside
// its own handler and raises when it recognises the type; otherwise it returns.
using ExceptionTranslator = void (*)();

// Logging modes.
constexpr int32_t kLogDefault = 0;            // debug log to the file, user messages queued
constexpr int32_t kOutputUserLogMessages = 1; // user messages to the console instead
constexpr int32_t kDebugLogToConsole = 2;     // debug-log lines to the console instead

// Bits of option1, a host setting. Clear: the debug log file takes UTF-16LE units.
constexpr uint8_t kDebugLogUtf8 = 0x01; // the debug log file takes UTF-8 instead

class MetaOutput {
public:
    // What a raise throws. It carries nothing: the error is in the shared data.
    class PrivateException {};

    // Formatting operations take an argument list, or null to use `format` as it is.
    virtual OwnedLock* GetOutputLock() = 0;                                              // 0
    virtual OwnedLock* GetErrorLock() = 0;                                               // 1
    virtual const WChar* GetDebugLogPath() = 0;                                          // 2
    virtual void SetDebugLogPath(const WChar* path) = 0;                                 // 3
    virtual os::FileHandle GetDebugLogHandle() = 0;                                      // 4
    virtual void SetDebugLogHandle(os::FileHandle handle) = 0;                           // 5
    virtual uint8_t GetOption1() = 0;                                                    // 6
    virtual void SetOption1(uint8_t value) = 0;                                          // 7
    virtual uint8_t GetOption2() = 0;                                                    // 8
    virtual void SetOption2(uint8_t value) = 0;                                          // 9
    virtual const WChar* GetText2() = 0;                                                 // 10
    virtual void FormatText1(const WChar* format, va_list* arguments) = 0;               // 11
    virtual void* GetPointer1() = 0;                                                     // 12
    virtual void SetPointer1(void* value) = 0;                                           // 13
    virtual void* GetPointer2() = 0;                                                     // 14
    virtual void SetPointer2(void* value) = 0;                                           // 15
    virtual uint16_t GetLanguage() = 0;                                                  // 16
    virtual void SetLanguage(uint16_t language) = 0;                                     // 17
    virtual bool GetStampNextLine() = 0;                                                 // 18
    virtual void SetStampNextLine(bool value) = 0;                                       // 19
    virtual bool GetStampEveryLine() = 0;                                                // 20
    virtual void SetStampEveryLine(bool value) = 0;                                      // 21
    virtual int64_t GetStartCount() = 0;                                                 // 22
    virtual int64_t GetCounterFrequency() = 0;                                           // 23
    virtual int32_t GetLoggingMode() = 0;                                                // 24
    virtual void SetLoggingMode(int32_t mode) = 0;                                       // 25
    virtual uint32_t GetValue3() = 0;                                                    // 26
    virtual void SetValue3(uint32_t value) = 0;                                          // 27
    virtual const ErrorRecord* GetCurrentError() = 0;                                    // 28
    virtual void SetCurrentErrorCode(int32_t code) = 0;                                  // 29
    virtual void SetCurrentError(const ErrorRecord& record) = 0;                         // 30
    virtual void ClearCurrentError() = 0;                                                // 31
    virtual bool GetHoldReport() = 0;                                                    // 32
    virtual void SetHoldReport(bool value) = 0;                                          // 33
    virtual uint32_t GetNesting() = 0;                                                   // 34
    virtual void SetNesting(uint32_t value) = 0;                                         // 35
    virtual bool GetLastLineMarked() = 0;                                                // 36
    virtual void SetLastLineMarked(bool value) = 0;                                      // 37
    virtual bool GetAbortRequested() = 0;                                                // 38
    virtual void SetAbortRequested(bool value) = 0;                                      // 39
    virtual void AddUserLogMessage(const WChar* text, bool noCapture) = 0;               // 40
    virtual void AddErrorToHistory(const ErrorRecord& record) = 0;                       // 41
    virtual void AddNoteToHistory(const WChar* text) = 0;                                // 42
    virtual const WChar* PeekUserLogMessage() = 0;                                       // 43
    virtual void NextUserLogMessage() = 0;                                               // 44
    virtual void ClearUserLog() = 0;                                                     // 45
    virtual const ErrorRecord* NextHistoryRecord() = 0;                                  // 46
    virtual const ErrorRecord* LastHistoryRecord() = 0;                                  // 47
    virtual void SetHistoryNeedsUpdate() = 0;                                            // 48
    virtual void WriteCurrentError() = 0;                                                // 49
    virtual void AppendToErrorCapture(const WChar* text) = 0;                            // 50
    virtual const WChar* PeekTranscript() = 0;                                           // 51
    virtual void NextTranscript() = 0;                                                   // 52
    virtual void AppendToTranscript(const WChar* text) = 0;                              // 53
    virtual void BeginErrorCapture(const ErrorRecord& record) = 0;                       // 54
    virtual void DropHistoryAtCursor() = 0;                                              // 55
    virtual void DropTranscriptAtCursor() = 0;                                           // 56
    virtual void EndErrorCapture() = 0;                                                  // 57
    virtual void ClearHistory() = 0;                                                     // 58
    virtual void PushErrorDetailFront(const WChar* format, va_list* arguments) = 0;      // 59
    virtual void PushErrorDetailBack(const WChar* format, va_list* arguments) = 0;       // 60
    virtual bool ErrorDetailsEmpty() = 0;                                                // 61
    virtual const WChar* ErrorDetailFront() = 0;                                         // 62
    virtual void PopErrorDetail() = 0;                                                   // 63
    virtual void PushAdditionalDetailFront(const WChar* format, va_list* arguments) = 0; // 64
    virtual void PushAdditionalDetailBack(const WChar* format, va_list* arguments) = 0;  // 65
    virtual bool AdditionalDetailsEmpty() = 0;                                           // 66
    virtual const WChar* AdditionalDetailFront() = 0;                                    // 67
    virtual void PopAdditionalDetail() = 0;                                              // 68
    virtual uint32_t TranslatorCount() = 0;                                              // 69
    virtual ExceptionTranslator TranslatorAt(uint32_t index) = 0;                        // 70
    virtual uint32_t TranslatorUseCount(uint32_t index) = 0;                             // 71
    virtual void IncrementTranslatorUse(uint32_t index) = 0;                             // 72
    virtual void DecrementTranslatorUse(uint32_t index) = 0;                             // 73
    virtual void AddTranslator(ExceptionTranslator translator) = 0;                      // 74
    virtual void RemoveTranslator(uint32_t index) = 0;                                   // 75
    virtual void RewindHistoryCursor() = 0;                                              // 76
    virtual void RewindTranscriptCursor() = 0;                                           // 77

    // The next unread user message, and moves past it; null when all are read.
    // Not allowed in logging mode kOutputUserLogMessages (raises -30).
    virtual const WChar* GetNextUserLogMessage(); // 78
    // The next transcript of a reported error, and moves past it; null at the end.
    virtual const WChar* GetNextErrorTranscript(); // 79
    virtual ~MetaOutput();                         // 80

    // Free for hosts; the toolkit does not touch it.
    WString hostText;
};

} // namespace Quillkit
