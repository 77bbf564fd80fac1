#include "toolkit/platform/AppendPath.h"

#include "os/CrtPath.h"
#include "toolkit/diag/ErrorCodes.h"
#include "toolkit/diag/Raise.h"
#include "toolkit/diag/TraceGuard.h"

#include <cerrno>
#include <cstring>

namespace Quillkit {

namespace {
constexpr size_t kMaxPath = 260;
}

void AppendPath(WChar* fullPath, const WChar* pathToAppend) {
    TraceGuard trace(QK_TEXT("Quillkit::AppendPath"));
    if (!fullPath) {
        RaiseErrorMessage(ErrorCode::kParameter,
                          QK_TEXT("             Parameter fullPath is NULL"));
        return;
    }
    if (!pathToAppend) {
        RaiseErrorMessage(ErrorCode::kParameter,
                          QK_TEXT("             Parameter pathToAppend is NULL"));
        return;
    }
    if (!*pathToAppend)
        return;
    WChar saved[kMaxPath];
    if (!os::crtGetCwd(saved, kMaxPath)) {
        RaiseCRuntimeError(QK_TEXT("_tgetcwd"));
        return;
    }
    if (!os::crtChdir(fullPath)) {
        RaiseCRuntimeError(QK_TEXT("_tchdir"));
        return;
    }
    WChar resolved[kMaxPath];
    if (!os::crtFullPath(resolved, pathToAppend, kMaxPath)) {
        // The process's current directory is put back before reporting.
        int number = errno;
        // Best effort on the way to the error the caller gets.
        static_cast<void>(os::crtChdir(saved));
        errno = number;
        RaiseCRuntimeError(QK_TEXT("_tfullpath"));
        return;
    }
    std::memcpy(fullPath, resolved, (os::wideLength(resolved) + 1) * sizeof(WChar));
    if (!os::crtChdir(saved))
        RaiseCRuntimeError(QK_TEXT("_tchdir"));
}

} // namespace Quillkit
