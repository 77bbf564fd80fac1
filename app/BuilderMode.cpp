#include "app/BuilderMode.h"

#include "app/Payload.h"
#include "app/PellquinCmdLineInfo.h"
#include "app/RunStopped.h"
#include "app/preferences/PayloadCheck.h"
#include "toolkit/diag/DebugLog.h"
#include "toolkit/diag/ErrorCodes.h"
#include "toolkit/diag/Raise.h"
#include "zip/facade/VxZipW.h"

#include <memory>

void RunBuilderMode(const CPellquinCmdLineInfo& info) {
    bool embedded = false;
    try {
        // A payload the target launcher could not use would make an installer that
        // fails on the customer's machine: it is refused and the target left as it is.
        const Pellquin::PayloadRefusal refusal =
            Pellquin::CheckPayloadForLauncher(info.m_strTargetExe, info.m_strLoadZip);
        if (!refusal.reason.empty()) {
            Quillkit::LogDebugMessage(L"Payload refused: '%s' '%s': %s", info.m_strLoadZip.c_str(),
                                      info.m_strTargetExe.c_str(),
                                      os::fromUtf8(refusal.reason).c_str());
            throw RunStopped("the payload was refused");
        }
        auto zip = std::make_unique<vexmar::VxZipW>();
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
    throw RunStopped("the payload could not be embedded");
}
