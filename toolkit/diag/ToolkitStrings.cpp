#include "toolkit/diag/ToolkitStrings.h"

#include "os/ErrorBox.h"
#include "toolkit/diag/DebugLog.h"
#include "toolkit/diag/ErrorCodes.h"
#include "toolkit/diag/ErrorReport.h"
#include "toolkit/diag/PrintfFormat.h"
#include "toolkit/diag/Raise.h"
#include "toolkit/diag/SharedOutput.h"
#include "toolkit/diag/StringLoad.h"

#include "resources/StringIds.h"

#include <atomic>
#include <cstdio>
#include <exception>

namespace Quillkit {

namespace {

enum class Presence { Unchecked, Checking, Present, Missing };
std::atomic<Presence> presence{Presence::Unchecked};

constexpr uint16_t kEnglishNeutral = 9;

WString missingText(uint32_t id) {
    return PrintfText(QK_TEXT("#%u"), unsigned(id));
}

void reportMissingResources() {
    WChar name[261] = {};
    os::moduleFileName(GetThisModuleHandle(), name, 261);
    WString text =
        PrintfText(QK_TEXT("Error: '%s' missing Quillkit resources! Project for DLL needs "
                           "Quillkit.rc in its resource includes.\n"),
                   name);
    os::showErrorBox(nullptr, text.c_str(), QK_TEXT("Quillkit"), false);
    std::string bytes = os::toUtf8(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

} // namespace

os::ModuleHandle GetThisModuleHandle() {
    static const char anchor = 0;
    static const os::ModuleHandle module = os::moduleOfAddress(&anchor);
    return module;
}

void VerifyToolkitStrings() {
    Presence unchecked = Presence::Unchecked;
    if (!presence.compare_exchange_strong(unchecked, Presence::Checking))
        return;
    WString text;
    try {
        if (LoadStringFromResource(GetThisModuleHandle(), StringId::kErrorBanner, text,
                                   kEnglishNeutral, false)) {
            presence = Presence::Present;
            return;
        }
    } catch (...) {
        presence = Presence::Missing;
        reportMissingResources();
        HandleException(nullptr);
        return;
    }
    presence = Presence::Missing;
    reportMissingResources();
}

WString LoadToolkitString(uint32_t id) {
    // Id 0 is no resource: a report needs it even when the strings are missing.
    if (id == 0)
        return QK_TEXT("%1");
    MetaOutput* out = GetSharedOutputData();
    // While this thread raises or reports an error (it holds the error lock), a
    // text that cannot be loaded is only logged: raising for it would need the
    // same texts again and never end.
    bool reporting = out->GetCurrentError()->code != 0 || std::uncaught_exceptions() > 0 ||
                     out->GetErrorLock()->HeldByThisThread();
    if (presence != Presence::Present) {
        constexpr const WChar* kNotAvailable =
            QK_TEXT("Resource id could not be loaded because Quillkit resources are not "
                    "available: %u");
        if (presence == Presence::Checking || reporting)
            LogDebugMessage(kNotAvailable, unsigned(id));
        else
            RaiseErrorMessage(ErrorCode::kParameter, kNotAvailable, unsigned(id));
        return missingText(id);
    }
    WString text;
    constexpr const WChar* kNotValid =
        QK_TEXT("Resource string ID, %u, not valid. The language resource DLL may be missing.");
    try {
        if (LoadStringFromResource(GetThisModuleHandle(), id, text, out->GetLanguage(), reporting))
            return text;
    } catch (const MetaOutput::PrivateException&) {
        LogDebugMessage(kNotValid, unsigned(id));
        throw;
    }
    LogDebugMessage(kNotValid, unsigned(id));
    return missingText(id);
}

} // namespace Quillkit
