#include "toolkit/diag/DebugLogFile.h"

#include "os/File.h"
#include "toolkit/diag/DebugLog.h"
#include "toolkit/diag/OutputHold.h"
#include "toolkit/diag/SharedOutput.h"

namespace Quillkit {

bool OpenDebugLogFile(const WChar* path, uint32_t& error) {
    CloseDebugLog();
    os::FileOpenRequest request;
    request.access = os::kAccessWrite;
    request.creation = os::FileCreation::CreateAlways;
    request.share = os::kShareRead;
    bool wideForm = false;
    os::FileHandle file =
        os::openFile(os::toUtf8(path, os::wideLength(path)).c_str(), request, error, wideForm);
    if (file == os::kNoFile)
        return false;
    MetaOutput* out = GetSharedOutputData();
    OutputHold hold(out);
    out->SetOption1(uint8_t(out->GetOption1() | kDebugLogUtf8));
    out->SetDebugLogPath(path);
    out->SetDebugLogHandle(file);
    hold.Release();
    return true;
}

} // namespace Quillkit
