#include "framework/CommandLineInfo.h"

void CCommandLineInfo::ParseParam(const os::wchar*, bool, bool) {}

void CCommandLineInfo::ParseTrailingParam(const os::wchar*) {}

namespace {

bool isBlank(os::wchar c) {
    return c == u' ' || c == u'\t';
}

// The program name ends at the first blank outside quotes; quotes only group and
// backslashes are ordinary characters, since a file name cannot hold a quote.
const os::wchar* splitProgramName(const os::wchar* p, os::wstring& name) {
    bool quoted = false;
    for (; *p; ++p) {
        if (*p == u'"') {
            quoted = !quoted;
            continue;
        }
        if (!quoted && isBlank(*p))
            break;
        name += *p;
    }
    return p;
}

// One argument: 2n backslashes before a quote give n backslashes and the quote
// opens or closes a quoted part; 2n+1 give n backslashes and a literal quote.
// Inside a quoted part, "" gives one literal quote and the part goes on.
// Backslashes not followed by a quote are taken as they are.
const os::wchar* splitArgument(const os::wchar* p, os::wstring& arg) {
    bool quoted = false;
    while (*p && (quoted || !isBlank(*p))) {
        if (*p == u'\\') {
            size_t slashes = 0;
            while (*p == u'\\') {
                ++slashes;
                ++p;
            }
            if (*p != u'"') {
                arg.append(slashes, u'\\');
                continue;
            }
            arg.append(slashes / 2, u'\\');
            if (slashes % 2) {
                arg += u'"';
                ++p;
                continue;
            }
        }
        if (*p == u'"') {
            if (quoted && p[1] == u'"') {
                arg += u'"';
                p += 2;
                continue;
            }
            quoted = !quoted;
            ++p;
            continue;
        }
        arg += *p++;
    }
    return p;
}

} // namespace

std::vector<os::wstring> SplitCommandLine(const os::wchar* commandLine) {
    std::vector<os::wstring> args;
    if (!commandLine)
        return args;
    const os::wchar* p = commandLine;
    os::wstring program;
    p = splitProgramName(p, program);
    args.push_back(program);
    for (;;) {
        while (isBlank(*p))
            ++p;
        if (!*p)
            break;
        os::wstring arg;
        p = splitArgument(p, arg);
        args.push_back(arg);
    }
    return args;
}

void ParseCommandLine(const os::wchar* commandLine, CCommandLineInfo& info) {
    std::vector<os::wstring> args = SplitCommandLine(commandLine);
    size_t end = 1;
    while (end < args.size() && args[end] != OS_WTEXT("--"))
        ++end;
    for (size_t i = 1; i < end; ++i) {
        const os::wstring& arg = args[i];
        bool isSwitch = !arg.empty() && (arg[0] == u'/' || arg[0] == u'-');
        info.ParseParam(arg.c_str() + (isSwitch ? 1 : 0), isSwitch, i + 1 == end);
    }
    for (size_t i = end + 1; i < args.size(); ++i)
        info.ParseTrailingParam(args[i].c_str());
}
