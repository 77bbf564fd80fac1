#include "os/Security.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

namespace os {

namespace {

// Opens the target itself, never what a link points to (a folder needs backup
// semantics to open at all), refuses links and multiply linked files, and sets
// the security through the handle it checked.
uint32_t applyThroughHandle(const wchar* path, SECURITY_INFORMATION mask, PSID owner, PSID group,
                            PACL dacl, PACL sacl) {
    DWORD access = READ_CONTROL | WRITE_DAC;
    if (mask & (OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION))
        access |= WRITE_OWNER;
    if (mask & SACL_SECURITY_INFORMATION)
        access |= ACCESS_SYSTEM_SECURITY;
    HANDLE file = CreateFileW(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    BY_HANDLE_FILE_INFORMATION info = {};
    DWORD result = ERROR_SUCCESS;
    if (!GetFileInformationByHandle(file, &info))
        result = GetLastError();
    else if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        result = kErrorLinkRefused;
    else if (!(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && info.nNumberOfLinks > 1)
        result = kErrorHardLinksRefused;
    else
        result = SetSecurityInfo(file, SE_FILE_OBJECT, mask, owner, group, dacl, sacl);
    CloseHandle(file);
    return result;
}

} // namespace

bool applyOpenPermissions(const wchar* path, uint32_t& result) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(
            L"D:(A;CIOI;FA;;;AU)", SDDL_REVISION_1, &descriptor, nullptr))
        return false;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    if (!GetSecurityDescriptorControl(descriptor, &control, &revision)) {
        LocalFree(descriptor);
        return false;
    }
    SECURITY_INFORMATION mask = 0;
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    if (GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) && present) {
        mask |= DACL_SECURITY_INFORMATION;
        if (control & SE_DACL_AUTO_INHERITED)
            mask |= UNPROTECTED_DACL_SECURITY_INFORMATION;
        if (control & SE_DACL_PROTECTED)
            mask |= PROTECTED_DACL_SECURITY_INFORMATION;
    } else {
        dacl = nullptr;
    }
    PACL sacl = nullptr;
    present = FALSE;
    if ((control & SE_SACL_PRESENT) &&
        GetSecurityDescriptorSacl(descriptor, &present, &sacl, &defaulted) && present) {
        mask |= SACL_SECURITY_INFORMATION;
        if (control & SE_SACL_AUTO_INHERITED)
            mask |= UNPROTECTED_SACL_SECURITY_INFORMATION;
        if (control & SE_SACL_PROTECTED)
            mask |= PROTECTED_SACL_SECURITY_INFORMATION;
    } else {
        sacl = nullptr;
    }
    PSID owner = nullptr;
    if (GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) && owner)
        mask |= OWNER_SECURITY_INFORMATION;
    else
        owner = nullptr;
    PSID group = nullptr;
    if (GetSecurityDescriptorGroup(descriptor, &group, &defaulted) && group)
        mask |= GROUP_SECURITY_INFORMATION;
    else
        group = nullptr;
    result = applyThroughHandle(path, mask, owner, group, dacl, sacl);
    LocalFree(descriptor);
    return true;
}

} // namespace os
