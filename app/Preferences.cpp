// The dialog's side of the download-folder preferences.
#include "app/PellquinDlg.h"
#include "app/preferences/SuitePreferences.h"
#include "toolkit/diag/DebugLog.h"

void CPellquinDlg::LoadPreferences() {
    Pellquin::LoadPreferences(m_iniPath, m_downloadDir);
    Quillkit::LogDebugMessage(L"Preferences read from '%s': proposed directory '%s'",
                              m_iniPath.GetPath(), m_downloadDir.GetPath());
}

void CPellquinDlg::SavePreferences() {
    Pellquin::SavePreferences(m_iniPath, m_downloadDir);
    Quillkit::LogDebugMessage(L"Preferences written to '%s': directory '%s'", m_iniPath.GetPath(),
                              m_downloadDir.GetPath());
}
