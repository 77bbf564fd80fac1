#include "app/SetupCheck.h"

#include "app/OwnPayload.h"
#include "zip/facade/VxZipW.h"

bool HeldSetup::Open(const wchar_t* path) {
    Release();
    file_ = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    return IsOpen();
}

void HeldSetup::Release() {
    if (IsOpen())
        CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
}

bool CheckSetupBeforeStart(const Quillkit::StrictPath& directory, const Quillkit::StrictPath& setup,
                           HeldSetup& held) {
    vexmar::VxZipW zip;
    if (!OpenOwnPayload(zip))
        return false;
    for (int attempt = 0; attempt < 2; ++attempt) {
        // Held first, then compared: what matched cannot change before the start.
        // A file that differs cannot be rewritten while held, so the comparison
        // then fails, and the hold is let go for the one rewrite.
        uint32_t rewritten = 0;
        if (held.Open(setup.GetPath()) &&
            zip.ExtractChanged(directory.GetPath(), setup.GetPath(), &rewritten) && rewritten == 0)
            return true;
        held.Release();
        if (attempt == 0)
            zip.ExtractChanged(directory.GetPath(), setup.GetPath());
    }
    return false;
}
