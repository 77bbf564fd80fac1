#include "toolkit/ui/LauncherStrings.h"

#include "os/ErrorBox.h"
#include "toolkit/diag/ErrorReport.h"
#include "toolkit/diag/PrintfFormat.h"
#include "toolkit/diag/SharedOutput.h"
#include "toolkit/diag/StringLoad.h"
#include "toolkit/diag/ToolkitStrings.h"

#include <atomic>

namespace Quillkit {

namespace {
std::atomic<MainWindowQuery> mainWindowQuery{nullptr};
}

void SetMainWindowQuery(MainWindowQuery query) {
    mainWindowQuery.store(query);
}

WString LoadLauncherString(uint32_t id) {
    WString text;
    bool loaded = false;
    try {
        loaded = LoadStringFromResource(GetThisModuleHandle(), id, text,
                                        GetSharedOutputData()->GetLanguage(), false);
    } catch (const MetaOutput::PrivateException&) {
        // The failure is reported to the logs here; left pending, it would keep
        // the error lock from every other thread.
        HandleException(nullptr);
    }
    if (loaded)
        return text;
    WString message = PrintfText(QK_TEXT("Attempted to load a nonexistent resource id: %d\nThis "
                                         "program is corrupt and will now terminate."),
                                 int(id));
    MainWindowQuery query = mainWindowQuery.load();
    os::showErrorBox(query ? query() : nullptr, message.c_str(), QK_TEXT("Fatal error"), true);
    throw FatalResourceError(message);
}

} // namespace Quillkit
