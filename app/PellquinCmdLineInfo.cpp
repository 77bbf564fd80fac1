#include "app/PellquinCmdLineInfo.h"

CPellquinCmdLineInfo cmdInfo;

os::wstring CPellquinCmdLineInfo::lastSwitch;

namespace {

os::wchar lowerAscii(os::wchar c) {
    return (c >= u'A' && c <= u'Z') ? os::wchar(c - u'A' + u'a') : c;
}

} // namespace

bool EqualsIgnoringAsciiCase(const os::wstring& a, const os::wchar* b) {
    size_t i = 0;
    for (; i < a.size(); ++i) {
        if (!b[i] || lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    }
    return b[i] == 0;
}

void CPellquinCmdLineInfo::ParseParam(const os::wchar* param, bool isSwitch, bool isLast) {
    if (m_bShowHelp)
        return;
    if (isSwitch) {
        lastSwitch = param;
        if (EqualsIgnoringAsciiCase(lastSwitch, OS_WTEXT("q"))) {
            m_bQuiet = true;
            lastSwitch.clear();
        } else if (isLast) {
            // A switch with nothing after it: /? and /h, and any switch left without
            // its value, ask for the usage box.
            m_bShowHelp = true;
        }
        return;
    }
    if (EqualsIgnoringAsciiCase(lastSwitch, OS_WTEXT("extractOnly")))
        m_strExtractDir = param;
    else if (EqualsIgnoringAsciiCase(lastSwitch, OS_WTEXT("loadZip")))
        m_strLoadZip = param;
    else if (EqualsIgnoringAsciiCase(lastSwitch, OS_WTEXT("targetExe")))
        m_strTargetExe = param;
    else
        m_bShowHelp = true;
}
