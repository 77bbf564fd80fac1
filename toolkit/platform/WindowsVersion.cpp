#include "toolkit/platform/WindowsVersion.h"

#include "os/ModuleInfo.h"
#include "os/SystemVersion.h"
#include "os/UserRegistry.h"
#include "toolkit/diag/Text.h"

#include <atomic>

namespace Quillkit {

int GetWindowsVersion() {
    static std::atomic<int> cached{-1};
    int version = cached.load();
    if (version < 0) {
        uint32_t major = 0;
        uint32_t minor = 0;
        version = os::windowsNtVersion(major, minor) ? int(100 * major + minor) : 0;
        cached.store(version);
    }
    return version;
}

std::optional<uint32_t> CompatibilityMarkerValue(int mode, int version) {
    if (mode == 0 && version >= 601)
        return 1;
    if (mode == 1 && version >= 600)
        return 0x20;
    return std::nullopt;
}

void SetCompatibilityAssistantFlag(int mode) {
    std::optional<uint32_t> value = CompatibilityMarkerValue(mode, GetWindowsVersion());
    if (!value)
        return;
    constexpr uint32_t kPathUnits = 261;
    WChar path[kPathUnits];
    uint32_t n = os::moduleFileName(nullptr, path, kPathUnits);
    if (n == 0 || n >= kPathUnits)
        return;
    // The flag only spares the user a dialog: a failure stays silent.
    static_cast<void>(os::setCurrentUserDword(
        QK_TEXT("Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\"
                "Compatibility Assistant\\Persisted"),
        path, *value));
}

} // namespace Quillkit
