#include "app/OwnPayload.h"

#include "app/Payload.h"
#include "zip/facade/VxZipW.h"

#include <windows.h>

namespace {

// The first language the resource comes in: the one the payload reader of the
// engine takes, whatever the user's language.
BOOL CALLBACK firstLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found) {
    *reinterpret_cast<int*>(found) = language;
    return FALSE;
}

} // namespace

bool OpenOwnPayload(vexmar::VxZipW& zip) {
    HMODULE self = GetModuleHandleW(nullptr);
    int language = -1;
    EnumResourceLanguagesW(self, RT_RCDATA, kPayloadResourceName, firstLanguage,
                           reinterpret_cast<LONG_PTR>(&language));
    if (language < 0)
        return false;
    HRSRC resource = FindResourceExW(self, RT_RCDATA, kPayloadResourceName, WORD(language));
    HGLOBAL loaded = resource ? LoadResource(self, resource) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = resource ? SizeofResource(self, resource) : 0;
    if (!data || size == 0)
        return false;
    return zip.OpenFromMemory(data, size);
}
