#include "app/UserFolders.h"

#include "app/preferences/SuitePreferences.h"
#include "toolkit/diag/ErrorReport.h"

#include <windows.h>

#include <shlobj.h>

bool UserLocalAppData(Quillkit::StrictPath& folder) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr,
                                SHGFP_TYPE_CURRENT, path)))
        return false;
    if (!Pellquin::IsDriveLetterPath(path))
        return false;
    try {
        folder.Assign(path, Quillkit::kDirectory);
        return true;
    } catch (...) {
        Quillkit::HandleException(nullptr);
        return false;
    }
}
