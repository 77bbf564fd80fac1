#include "app/BuilderMode.h"

#include "app/Payload.h"
#include "app/PellquinCmdLineInfo.h"
#include "toolkit/diag/DebugLog.h"
#include "toolkit/diag/ErrorCodes.h"
#include "toolkit/diag/Raise.h"
#include "zip/facade/VxZipW.h"

#include <memory>
#include <stdexcept>

void RunBuilderMode(const CPellquinCmdLineInfo& info) {
    bool embedded = false;
    try {
        auto zip = std::make_unique<VxZipW>();
        embedded = zip->AddEmbedded(info.m_strTargetExe.c_str(), kPayloadResourceName,
                                    info.m_strLoadZip.c_str());
    } catch (...) {
        embedded = false;
    }
    if (embedded) {
        Quillkit::LogDebugMessage(L"Successfully embedded ZIP in EXE: '%s' '%s'",
                                  info.m_strLoadZip.c_str(), info.m_strTargetExe.c_str());
        return;
    }
    Quillkit::RaiseErrorMessage(
        Quillkit::ErrorCode::kTool, L"Error in function %s: Failed to embed ZIP in EXE: '%s' '%s'",
        L"EmbedFile", info.m_strLoadZip.c_str(), info.m_strTargetExe.c_str());
    // A raise returns when an error is already pending; the run fails all the same.
    throw std::runtime_error("the payload could not be embedded");
}
