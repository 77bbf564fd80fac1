#include "app/SignatureCheck.h"

#include "app/SignaturePolicy.h"
#include "toolkit/diag/DebugLog.h"

#include <windows.h>

#include <softpub.h>
#include <wintrust.h>

#include <vector>

namespace {

#ifdef PELLQUIN_REQUIRE_SIGNATURE
constexpr bool kRequireSignature = true;
#else
constexpr bool kRequireSignature = false;
#endif

// The image's headers, enough to find its data directories.
bool readHead(const wchar_t* path, std::vector<uint8_t>& head) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    head.resize(4096);
    DWORD read = 0;
    BOOL ok = ReadFile(file, head.data(), DWORD(head.size()), &read, nullptr);
    CloseHandle(file);
    head.resize(read);
    return ok != FALSE;
}

// The system's Authenticode check of the file, without any user interface.
LONG verifyTrust(const wchar_t* path) {
    WINTRUST_FILE_INFO file = {};
    file.cbStruct = sizeof(file);
    file.pcwszFilePath = path;
    WINTRUST_DATA data = {};
    data.cbStruct = sizeof(data);
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &file;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    LONG result = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    return result;
}

} // namespace

bool VerifyOwnSignature() {
    std::vector<wchar_t> path(32768);
    DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
    if (length == 0 || length >= path.size())
        return false;
    std::vector<uint8_t> head;
    // An image that cannot be read cannot show that it is unsigned either.
    if (!readHead(path.data(), head))
        return false;
    bool signedImage = Pellquin::CarriesSignature(head.data(), head.size());
    bool verified = false;
    if (signedImage) {
        LONG result = verifyTrust(path.data());
        verified = result == ERROR_SUCCESS;
        if (!verified)
            Quillkit::LogDebugMessage(L"%s: WinVerifyTrust answered 0x%08lX for '%s'",
                                      L"VerifyOwnSignature", static_cast<unsigned long>(result),
                                      path.data());
    }
    return Pellquin::SignatureAccepted(signedImage, verified, kRequireSignature);
}
