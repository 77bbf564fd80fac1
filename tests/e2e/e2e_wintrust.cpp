// A library that stands where a planted wintrust.dll would: loaded into any
// process, it leaves a marker file (E2E_DLL_MARKER), so a test sees that it ran.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    wchar_t marker[1024];
    DWORD n = GetEnvironmentVariableW(L"E2E_DLL_MARKER", marker, 1024);
    if (n > 0 && n < 1024) {
        HANDLE file = CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    }
    return TRUE;
}

// The one function the launcher would look for; it trusts nothing.
extern "C" __declspec(dllexport) LONG WINAPI WinVerifyTrust(HWND, GUID*, LPVOID) {
    return LONG(0x800B0100); // TRUST_E_NOSIGNATURE
}
