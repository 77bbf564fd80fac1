#include "app/Preferences.h"

#include "app/PellquinDlg.h"

// The preferences file and the suite description reader come with the toolkit's
// INI and text-file classes; until then the defaults stand.
void CPellquinDlg::LoadPreferences() {}

void CPellquinDlg::SavePreferences() {}

bool SameSuiteInDirectory(const Quillkit::StrictPath&) {
    return true;
}
