#include "app/preferences/SuiteGuid.h"

namespace Pellquin {

namespace {

os::wchar foldCase(os::wchar c) {
    return c >= 'A' && c <= 'Z' ? os::wchar(c + ('a' - 'A')) : c;
}

} // namespace

bool SuiteGuidInLine(os::wstring line, os::wstring& guid) {
    for (os::wchar& c : line)
        c = foldCase(c);
    const os::wstring opening = OS_WTEXT("<suiteid");
    const os::wstring attribute = OS_WTEXT("packageguid=\"{");
    const size_t tag = line.find(opening);
    if (tag == os::wstring::npos)
        return false;
    const size_t at = line.find(attribute, tag + opening.size());
    if (at == os::wstring::npos)
        return false;
    const size_t start = at + attribute.size() - 1;
    const size_t end = line.find(os::wchar('"'), start);
    if (end == os::wstring::npos)
        return false;
    guid = line.substr(start, end - start);
    return true;
}

bool SameSuiteGuid(const os::wstring& a, const os::wstring& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (foldCase(a[i]) != foldCase(b[i]))
            return false;
    return true;
}

} // namespace Pellquin
