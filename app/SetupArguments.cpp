#include "app/SetupArguments.h"

namespace {

bool needsQuotes(const os::wstring& argument) {
    if (argument.empty())
        return true;
    for (os::wchar c : argument)
        if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'"')
            return true;
    return false;
}

} // namespace

os::wstring QuoteArgument(const os::wstring& argument) {
    if (!needsQuotes(argument))
        return argument;
    os::wstring quoted(1, u'"');
    size_t slashes = 0;
    for (os::wchar c : argument) {
        if (c == u'\\') {
            ++slashes;
            continue;
        }
        if (c == u'"') {
            // n backslashes before a quote become 2n, and one more makes the quote literal.
            quoted.append(2 * slashes + 1, u'\\');
        } else {
            quoted.append(slashes, u'\\');
        }
        slashes = 0;
        quoted += c;
    }
    // Before the closing quote, backslashes count double as well.
    quoted.append(2 * slashes, u'\\');
    quoted += u'"';
    return quoted;
}

os::wstring JoinArguments(const std::vector<os::wstring>& arguments) {
    os::wstring line;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0)
            line += u' ';
        line += QuoteArgument(arguments[i]);
    }
    return line;
}
