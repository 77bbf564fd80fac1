// The dialog's side of the download-folder preferences.
#include "app/PellquinDlg.h"
#include "app/preferences/SuitePreferences.h"

void CPellquinDlg::LoadPreferences() {
    Pellquin::LoadPreferences(m_iniPath, m_downloadDir);
}

void CPellquinDlg::SavePreferences() {
    Pellquin::SavePreferences(m_iniPath, m_downloadDir);
}
