// Places that belong to the user running the launcher.
#pragma once

#include "toolkit/path/StrictPath.h"

// The user's local application-data folder (CSIDL_LOCAL_APPDATA), created when
// missing, as a directory path. False, with `folder` unchanged, when the system
// names none or not one on a drive.
bool UserLocalAppData(Quillkit::StrictPath& folder);
