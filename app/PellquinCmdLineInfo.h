// The launcher's command line:
//   [/q] [/extractOnly DIR] [/log FILE] [-- SETUP ARGUMENTS...] | /? | /h
//   | /loadZip ZIP /targetExe EXE
// A switch names the field that the next value fills; "/" and "-" both mark a
// switch, and switch names ignore the case of A to Z. A switch takes one value:
// a second one is a usage error. Everything after "--" is setup.exe's.
#pragma once

#include "framework/CommandLineInfo.h"

#include <vector>

class CPellquinCmdLineInfo : public CCommandLineInfo {
public:
    void ParseParam(const os::wchar* param, bool isSwitch, bool isLast) override;
    void ParseTrailingParam(const os::wchar* param) override;

    bool m_bShowHelp = false;
    os::wstring m_strExtractDir; // non-empty exactly in extract-only mode
    // /q, wherever it stands: no window and no message box, not even for a usage error.
    bool m_bQuiet = false;
    os::wstring m_strLoadZip;
    os::wstring m_strTargetExe;
    os::wstring m_strLogFile; // the run's log, when one was asked for
    // The arguments after "--", for setup.exe, exactly as they were split.
    std::vector<os::wstring> m_setupArguments;

    // The switch still waiting for its value, kept from one argument to the next
    // (process-wide, like the record).
    static os::wstring lastSwitch;

private:
    // One bit per switch that has had its value.
    unsigned m_valuesGiven = 0;
};

enum class RunMode { Usage, Builder, ExtractOnly, Interactive };

// The first rule that matches: the usage (asked for, or /q without /extractOnly),
// builder mode (/loadZip and /targetExe), extract-only, else interactive.
RunMode ChooseRunMode(const CPellquinCmdLineInfo& info);

// The one record, filled at start-up and only read afterwards.
extern CPellquinCmdLineInfo cmdInfo;

// Whether `a` and `b` are equal when the letters A to Z count as a to z.
bool EqualsIgnoringAsciiCase(const os::wstring& a, const os::wchar* b);
