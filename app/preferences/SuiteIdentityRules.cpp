#include "app/preferences/SuiteIdentityRules.h"

namespace Pellquin {

namespace {

constexpr int kMaxPath = 260;
constexpr size_t kInstallerFolderLength = 9; // "Installer"
constexpr size_t kDriveRootAndSlash = 4;     // "C:\" and the folder's closing "\"

const char* const kDeviceNames[] = {"CON",  "PRN",  "AUX",  "NUL",  "CLOCK$", "COM1",
                                    "COM2", "COM3", "COM4", "COM5", "COM6",   "COM7",
                                    "COM8", "COM9", "LPT1", "LPT2", "LPT3",   "LPT4",
                                    "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};

bool isHex(os::wchar c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The part before the first dot, in upper case and without trailing blanks:
// "con.txt" and "CON " are the console device too.
std::string deviceBase(const os::wstring& component) {
    std::string base;
    for (os::wchar c : component.substr(0, component.find(os::wchar('.'))))
        base += c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c < 0x80 ? char(c) : '?';
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    return base;
}

} // namespace

int DownloadPathExcess(int reserve, size_t pathLength) {
    return reserve + int(pathLength) + int(kInstallerFolderLength) - kMaxPath;
}

size_t LongestSuiteFolder(int reserve) {
    const int slack = -DownloadPathExcess(reserve, kDriveRootAndSlash);
    return slack > 0 ? size_t(slack) : 0;
}

bool IsBracedGuid(const os::wstring& guid) {
    static const char form[] = "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}";
    if (guid.size() != sizeof form - 1)
        return false;
    for (size_t i = 0; i < guid.size(); ++i)
        if (form[i] == 'x' ? !isHex(guid[i]) : guid[i] != os::wchar(form[i]))
            return false;
    return true;
}

std::string FolderNameFault(const os::wstring& component) {
    if (component.empty())
        return "has an empty part (a leading, trailing or doubled backslash)";
    for (os::wchar c : component) {
        if (c < 0x20 || c == 0x7F)
            return "holds a control character";
        if (os::wstring(OS_WTEXT("<>:\"/\\|?*")).find(c) != os::wstring::npos)
            return "holds a character Windows reserves (< > : \" / \\ | ? *)";
    }
    if (component.back() == '.' || component.back() == ' ')
        return "ends with a dot or a space";
    const std::string base = deviceBase(component);
    for (const char* device : kDeviceNames)
        if (base == device)
            return "is a device name (" + base + ")";
    return {};
}

std::string SuiteFolderFault(const os::wstring& folder) {
    size_t levels = 0;
    for (size_t start = 0;; ++levels) {
        const size_t slash = folder.find(os::wchar('\\'), start);
        const std::string fault = FolderNameFault(folder.substr(start, slash - start));
        if (!fault.empty())
            return fault;
        if (slash == os::wstring::npos)
            break;
        start = slash + 1;
    }
    return levels > 1 ? "has more than two levels (one backslash at most)" : "";
}

} // namespace Pellquin
