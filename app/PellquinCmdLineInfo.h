// The launcher's command line:
//   [/q] [/extractOnly DIR] | /? | /h | /loadZip ZIP /targetExe EXE
// A switch names the field that the next value fills; "/" and "-" both mark a
// switch, and switch names ignore the case of A to Z.
#pragma once

#include "framework/CommandLineInfo.h"

class CPellquinCmdLineInfo : public CCommandLineInfo {
public:
    void ParseParam(const os::wchar* param, bool isSwitch, bool isLast) override;

    bool m_bShowHelp = false;
    os::wstring m_strExtractDir; // non-empty exactly in extract-only mode
    bool m_bQuiet = false;
    os::wstring m_strLoadZip;
    os::wstring m_strTargetExe;

    // The switch still waiting for its value, kept from one argument to the next
    // (process-wide, like the record).
    static os::wstring lastSwitch;
};

// The one record, filled at start-up and only read afterwards.
extern CPellquinCmdLineInfo cmdInfo;

// Whether `a` and `b` are equal when the letters A to Z count as a to z.
bool EqualsIgnoringAsciiCase(const os::wstring& a, const os::wchar* b);
