#include "os/Security.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

namespace os {

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
    result = SetNamedSecurityInfoW(const_cast<wchar_t*>(path), SE_FILE_OBJECT, mask, owner, group,
                                   dacl, sacl);
    LocalFree(descriptor);
    return true;
}

} // namespace os
