// The command line as the framework hands it to an application: split into
// arguments by the Windows rules, then given one by one to ParseParam.
#pragma once

#include "os/WideText.h"

#include <vector>

class CCommandLineInfo {
public:
    virtual ~CCommandLineInfo() = default;

    // One argument after the program name, left to right. A switch arrives without
    // its leading "/" or "-". The framework's own version records nothing.
    virtual void ParseParam(const os::wchar* param, bool isSwitch, bool isLast);
    // One argument after "--", exactly as the split gave it: not a switch, and not
    // the application's own. The framework's own version records nothing.
    virtual void ParseTrailingParam(const os::wchar* param);
};

// The arguments of a command line, the program name first, by the rules the
// C runtime uses on Windows (see CommandLineInfo.cpp).
std::vector<os::wstring> SplitCommandLine(const os::wchar* commandLine);

// Every argument after the program name to `info.ParseParam`, up to an argument
// "--"; `isLast` marks the last one before it. The arguments after "--" go to
// `info.ParseTrailingParam`.
void ParseCommandLine(const os::wchar* commandLine, CCommandLineInfo& info);
