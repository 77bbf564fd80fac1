#include "app/PellquinCmdLineInfo.h"

CPellquinCmdLineInfo cmdInfo;

os::wstring CPellquinCmdLineInfo::lastSwitch;

namespace {

os::wchar lowerAscii(os::wchar c) {
    return (c >= u'A' && c <= u'Z') ? os::wchar(c - u'A' + u'a') : c;
}

// The switches that take a value, and the field each one fills.
struct ValueSwitch {
    const os::wchar* name;
    os::wstring CPellquinCmdLineInfo::*field;
};

const ValueSwitch kValueSwitches[] = {
    {OS_WTEXT("extractOnly"), &CPellquinCmdLineInfo::m_strExtractDir},
    {OS_WTEXT("loadZip"), &CPellquinCmdLineInfo::m_strLoadZip},
    {OS_WTEXT("targetExe"), &CPellquinCmdLineInfo::m_strTargetExe},
    {OS_WTEXT("log"), &CPellquinCmdLineInfo::m_strLogFile},
};

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
    // Quiet holds even after a usage error: a caller that cannot answer a box must
    // not get one.
    if (isSwitch && EqualsIgnoringAsciiCase(param, OS_WTEXT("q"))) {
        m_bQuiet = true;
        if (!m_bShowHelp)
            lastSwitch.clear();
        return;
    }
    if (m_bShowHelp)
        return;
    if (isSwitch) {
        lastSwitch = param;
        // A switch with nothing after it: /? and /h, and any switch left without
        // its value, ask for the usage box.
        if (isLast)
            m_bShowHelp = true;
        return;
    }
    for (size_t i = 0; i < sizeof(kValueSwitches) / sizeof(kValueSwitches[0]); ++i) {
        if (!EqualsIgnoringAsciiCase(lastSwitch, kValueSwitches[i].name))
            continue;
        // A second value would silently replace the first: "/extractOnly C:\My
        // Downloads" typed without quotes must not extract into ".\Downloads".
        unsigned bit = 1u << i;
        if (m_valuesGiven & bit) {
            m_bShowHelp = true;
            return;
        }
        m_valuesGiven |= bit;
        this->*kValueSwitches[i].field = param;
        return;
    }
    m_bShowHelp = true;
}

void CPellquinCmdLineInfo::ParseTrailingParam(const os::wchar* param) {
    m_setupArguments.push_back(param);
}

RunMode ChooseRunMode(const CPellquinCmdLineInfo& info) {
    if (info.m_bShowHelp || (info.m_bQuiet && info.m_strExtractDir.empty()))
        return RunMode::Usage;
    if (!info.m_strLoadZip.empty() && !info.m_strTargetExe.empty())
        return RunMode::Builder;
    return info.m_strExtractDir.empty() ? RunMode::Interactive : RunMode::ExtractOnly;
}
