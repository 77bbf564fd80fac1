#include "toolkit/path/CreateDirectory.h"

#include "os/Clock.h"
#include "os/Directory.h"
#include "os/SystemError.h"
#include "resources/StringIds.h"
#include "toolkit/diag/DebugLog.h"
#include "toolkit/diag/ErrorCodes.h"
#include "toolkit/diag/ErrorContext.h"
#include "toolkit/diag/ErrorRecord.h"
#include "toolkit/diag/PrintfFormat.h"
#include "toolkit/diag/Raise.h"
#include "toolkit/diag/ToolkitStrings.h"
#include "toolkit/path/DirectoryCreationCalls.h"
#include "toolkit/path/FileTests.h"

#include <cstring>

namespace Quillkit {

namespace {

constexpr int kLastAttempt = 1000;
constexpr uint32_t kPauseMs = 50;
constexpr int64_t kTimeLimitSeconds = 30;
constexpr double kTimeLimitForLog = 30.0;

// Restores the process's error mode however the creation step ends.
class SilentCriticalErrors {
public:
    SilentCriticalErrors() : saved_(os::failCriticalErrorsSilently()) {}
    ~SilentCriticalErrors() { os::restoreErrorMode(saved_); }
    SilentCriticalErrors(const SilentCriticalErrors&) = delete;
    SilentCriticalErrors& operator=(const SilentCriticalErrors&) = delete;

private:
    uint32_t saved_;
};

enum class Outcome { Created, AlreadyThere, Failed };

// MetaCreateDirectory's loop. With `existingCounts`, a directory that is found in
// place after "already exists" ends the loop at once: it was made concurrently.
Outcome createWithRetries(const WChar* path, void* securityAttributes, bool existingCounts) {
    DirectoryCreationCalls& calls = CurrentDirectoryCreationCalls();
    LogDebugMessage(QK_TEXT("MetaCreateDirectory is trying to create %s"), path);
    const int64_t start = calls.now();
    uint32_t lastError = 0;
    uint32_t systemError = 0;
    os::setLastErrorCode(0);
    for (int attempt = 0; attempt <= kLastAttempt; ++attempt) {
        if (attempt > 0) {
            calls.sleep(kPauseMs);
            if (calls.now() - start > kTimeLimitSeconds) {
                LogDebugMessage(QK_TEXT("CREATE DIRECTORY FAILED: TIMEOUT REACHED!!!\r\n"
                                        "\tTimeout value: %f seconds\r\n"
                                        "\tNumber of creation attempts: %d\r\n"
                                        "\tTarget directory: %s\r\n"
                                        "\tGetLastError() returns: %lu\r\n"),
                                kTimeLimitForLog, attempt, path, (unsigned long)lastError);
                os::setLastErrorCode(systemError);
                return Outcome::Failed;
            }
        }
        uint32_t error = 0;
        if (calls.create(path, securityAttributes, error))
            return Outcome::Created;
        systemError = os::lastErrorCode();
        lastError = error;
        LogDebugMessage(QK_TEXT("CREATE DIRECTORY ATTEMPT FAILED: \r\n"
                                "\tTimeout value: %f seconds\r\n"
                                "\tNumber of creation attempts: %d\r\n"
                                "\tTarget directory: %s\r\n"
                                "\tGetLastError() returns: %lu\r\n"),
                        kTimeLimitForLog, attempt, path, (unsigned long)error);
        if (existingCounts && error == os::kErrorAlreadyExists && DirectoryExists(path))
            return Outcome::AlreadyThere;
        if (error != os::kErrorAccessDenied && error != os::kErrorAlreadyExists) {
            os::setLastErrorCode(systemError);
            return Outcome::Failed;
        }
    }
    LogDebugMessage(QK_TEXT("CREATE DIRECTORY FAILED: MAXIMUM NUMBER OF ATTEMPTS REACHED!!!\r\n"
                            "\tNumber of creation attempts: %d\r\n"
                            "\tTarget directory: %s\r\n"
                            "\tGetLastError() returns: %lu\r\n"),
                    kLastAttempt + 1, path, (unsigned long)lastError);
    os::setLastErrorCode(systemError);
    return Outcome::Failed;
}

bool systemCreate(const WChar* path, void* securityAttributes, uint32_t& error) {
    return os::createDirectoryWide(path, securityAttributes, error);
}

} // namespace

DirectoryCreationCalls SystemDirectoryCreationCalls() {
    return DirectoryCreationCalls{systemCreate, os::sleepMs, os::crtTime64};
}

DirectoryCreationCalls& CurrentDirectoryCreationCalls() {
    static DirectoryCreationCalls calls = SystemDirectoryCreationCalls();
    return calls;
}

bool MetaCreateDirectory(const WChar* path, void* securityAttributes) {
    return createWithRetries(path, securityAttributes, false) == Outcome::Created;
}

void CreateDirectoryRecurse(const WChar* path, void* securityAttributes,
                            std::vector<StrictPath>* created) {
    ErrorContext context(
        kKindError, ErrorCode::kWindows, LoadToolkitString(StringId::kDirectoryAccessError),
        LoadToolkitString(StringId::kDirectoryCreateFailed, path ? path : QK_TEXT("")),
        PrintfText(QK_TEXT("Quillkit: %s failed."), QK_TEXT("Quillkit::CreateDirectoryRecurse")));
    StrictPath volume(path, kDirectory);
    volume.GetVolume(true);

    WChar work[kMaxPath];
    size_t n = 0;
    while (n < kMaxPath - 1 && path[n]) {
        work[n] = path[n];
        ++n;
    }
    work[n] = 0;
    RemoveLastSlash(work);
    n = os::wideLength(work);

    size_t at = os::wideLength(volume.GetPath());
    if (at > n)
        return;
    for (;;) {
        while (at < n && work[at] != '\\')
            ++at;
        const WChar saved = work[at];
        work[at] = 0;
        if (at > 0 && !DirectoryExists(work)) {
            SilentCriticalErrors silent;
            const Outcome outcome = createWithRetries(work, securityAttributes, true);
            if (outcome == Outcome::Failed) {
                RaiseWindowsError(QK_TEXT("MetaCreateDirectory"));
                return;
            }
            if (outcome == Outcome::Created && created)
                created->push_back(StrictPath(work, kDirectory));
        }
        work[at] = saved;
        if (at >= n)
            break;
        ++at;
    }
}

} // namespace Quillkit
