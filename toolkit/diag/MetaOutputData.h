// The shared output data: the debug log, the user log, the pending error with its
// details and history, and the language of the toolkit's messages. One object per
// process; see SharedOutput.h for how the modules find it.
#pragma once

#include "toolkit/diag/MetaOutput.h"

#include <deque>
#include <list>
#include <vector>

namespace Quillkit {

class MetaOutputData : public MetaOutput {
public:
    MetaOutputData();
    ~MetaOutputData() override;

    OwnedLock* GetOutputLock() override;
    OwnedLock* GetErrorLock() override;
    const WChar* GetDebugLogPath() override;
    void SetDebugLogPath(const WChar* path) override;
    os::FileHandle GetDebugLogHandle() override;
    void SetDebugLogHandle(os::FileHandle handle) override;
    uint8_t GetOption1() override;
    void SetOption1(uint8_t value) override;
    uint8_t GetOption2() override;
    void SetOption2(uint8_t value) override;
    const WChar* GetText2() override;
    void FormatText1(const WChar* format, va_list* arguments) override;
    void* GetPointer1() override;
    void SetPointer1(void* value) override;
    void* GetPointer2() override;
    void SetPointer2(void* value) override;
    uint16_t GetLanguage() override;
    void SetLanguage(uint16_t language) override;
    bool GetStampNextLine() override;
    void SetStampNextLine(bool value) override;
    bool GetStampEveryLine() override;
    void SetStampEveryLine(bool value) override;
    int64_t GetStartCount() override;
    int64_t GetCounterFrequency() override;
    int32_t GetLoggingMode() override;
    void SetLoggingMode(int32_t mode) override;
    uint32_t GetValue3() override;
    void SetValue3(uint32_t value) override;
    const ErrorRecord* GetCurrentError() override;
    void SetCurrentErrorCode(int32_t code) override;
    void SetCurrentError(const ErrorRecord& record) override;
    void ClearCurrentError() override;
    bool GetHoldReport() override;
    void SetHoldReport(bool value) override;
    uint32_t GetNesting() override;
    void SetNesting(uint32_t value) override;
    bool GetLastLineMarked() override;
    void SetLastLineMarked(bool value) override;
    bool GetAbortRequested() override;
    void SetAbortRequested(bool value) override;
    void AddUserLogMessage(const WChar* text, bool noCapture) override;
    void AddErrorToHistory(const ErrorRecord& record) override;
    void AddNoteToHistory(const WChar* text) override;
    const WChar* PeekUserLogMessage() override;
    void NextUserLogMessage() override;
    void ClearUserLog() override;
    const ErrorRecord* NextHistoryRecord() override;
    const ErrorRecord* LastHistoryRecord() override;
    void SetHistoryNeedsUpdate() override;
    void WriteCurrentError() override;
    void AppendToErrorCapture(const WChar* text) override;
    const WChar* PeekTranscript() override;
    void NextTranscript() override;
    void AppendToTranscript(const WChar* text) override;
    void BeginErrorCapture(const ErrorRecord& record) override;
    void DropHistoryAtCursor() override;
    void DropTranscriptAtCursor() override;
    void EndErrorCapture() override;
    void ClearHistory() override;
    void PushErrorDetailFront(const WChar* format, va_list* arguments) override;
    void PushErrorDetailBack(const WChar* format, va_list* arguments) override;
    bool ErrorDetailsEmpty() override;
    const WChar* ErrorDetailFront() override;
    void PopErrorDetail() override;
    void PushAdditionalDetailFront(const WChar* format, va_list* arguments) override;
    void PushAdditionalDetailBack(const WChar* format, va_list* arguments) override;
    bool AdditionalDetailsEmpty() override;
    const WChar* AdditionalDetailFront() override;
    void PopAdditionalDetail() override;
    uint32_t TranslatorCount() override;
    ExceptionTranslator TranslatorAt(uint32_t index) override;
    uint32_t TranslatorUseCount(uint32_t index) override;
    void IncrementTranslatorUse(uint32_t index) override;
    void DecrementTranslatorUse(uint32_t index) override;
    void AddTranslator(ExceptionTranslator translator) override;
    void RemoveTranslator(uint32_t index) override;
    void RewindHistoryCursor() override;
    void RewindTranscriptCursor() override;

private:
    OwnedLock outputLock;
    OwnedLock errorLock;
    WString debugLogPath;
    os::FileHandle debugLogHandle = os::kNoFile;
    uint8_t option1 = 0, option2 = 0;
    WString text1, text2;
    void* pointer1 = nullptr;
    void* pointer2 = nullptr;
    std::deque<WString> userLog; // a deque keeps handed-out texts in place
    uint32_t userLogRead = 0;
    bool userLogHasUnread = false;
    std::list<ErrorRecord> errorHistory;
    std::list<ErrorRecord>::iterator historyCursor;
    WString* errorCapture = nullptr;
    bool historyNeedsUpdate = false;
    std::list<WString> transcripts;
    std::list<WString>::iterator transcriptCursor;
    WString* transcriptCapture = nullptr;
    ErrorRecord currentError;
    bool holdReport = false;
    std::deque<WString> errorDetails;
    std::deque<WString> additionalDetails;
    uint16_t language = 9;
    bool stampNextLine = false;
    bool stampEveryLine = false;
    int64_t startCount = 0;
    int64_t counterFrequency = 0;
    int32_t loggingMode = kLogDefault;
    uint32_t value3 = 0;
    std::vector<ExceptionTranslator> translators;
    std::vector<uint32_t> translatorUse;
    uint32_t nesting = 0;
    bool lastLineMarked = false;
    bool abortRequested = false;
};

} // namespace Quillkit
