#include "app/SuiteLockName.h"

namespace {

os::wstring suiteKey(const os::wstring& suiteGuid) {
    os::wstring key;
    for (os::wchar c : suiteGuid) {
        if (c >= u'A' && c <= u'Z')
            key += os::wchar(c - u'A' + u'a');
        else if ((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'-')
            key += c;
    }
    return key.empty() ? os::wstring(OS_WTEXT("unknown")) : key;
}

} // namespace

os::wstring SuiteMutexName(const os::wstring& suiteGuid) {
    return OS_WTEXT("Local\\Pellquin.Suite.") + suiteKey(suiteGuid);
}

os::wstring SuiteWindowProperty(const os::wstring& suiteGuid) {
    return OS_WTEXT("Pellquin.Suite.") + suiteKey(suiteGuid) + OS_WTEXT(".Window");
}
