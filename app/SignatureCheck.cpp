#include "app/SignatureCheck.h"

#include "app/SignaturePolicy.h"
#include "toolkit/diag/DebugLog.h"
#include "toolkit/diag/ErrorReport.h"
#include "toolkit/platform/DynamicFunc.h"

#include <windows.h>

#include <softpub.h>
#include <wintrust.h>

#include <atomic>
#include <vector>

namespace {

#ifdef PELLQUIN_REQUIRE_SIGNATURE
constexpr bool kRequireSignature = true;
#else
constexpr bool kRequireSignature = false;
#endif

// The trust provider is no library Windows always takes from its own folder:
// bound at run time, from the system folder alone, so that a wintrust.dll beside
// the launcher never runs.
Quillkit::DynamicLib wintrustLibrary(L"wintrust.dll");
Quillkit::DynamicFunc<long> winVerifyTrust(&wintrustLibrary, "WinVerifyTrust");
using WinVerifyTrustFn = LONG(WINAPI*)(HWND, GUID*, LPVOID);

// The checked file, held from the check until the payload has been read.
std::atomic<HANDLE> verifiedImage{INVALID_HANDLE_VALUE};

// The image's headers, enough to find its data directories.
bool readHead(HANDLE file, std::vector<uint8_t>& head) {
    head.resize(4096);
    DWORD read = 0;
    LARGE_INTEGER start = {};
    if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN) ||
        !ReadFile(file, head.data(), DWORD(head.size()), &read, nullptr))
        return false;
    head.resize(read);
    return true;
}

// The system's Authenticode check of the open file, without any user interface.
LONG verifyTrust(const wchar_t* path, HANDLE file) {
    WinVerifyTrustFn verify = nullptr;
    try {
        if (winVerifyTrust.IsAvailable())
            verify = winVerifyTrust.As<WinVerifyTrustFn>();
    } catch (...) {
        // The library could not be loaded: nothing can verify the signature.
        Quillkit::HandleException(nullptr);
    }
    if (!verify)
        return LONG(TRUST_E_PROVIDER_UNKNOWN);
    // The provider reads the file through the handle, from wherever it points.
    LARGE_INTEGER start = {};
    SetFilePointerEx(file, start, nullptr, FILE_BEGIN);
    WINTRUST_FILE_INFO info = {};
    info.cbStruct = sizeof(info);
    info.pcwszFilePath = path;
    info.hFile = file;
    WINTRUST_DATA data = {};
    data.cbStruct = sizeof(data);
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &info;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    LONG result = verify(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    verify(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    return result;
}

} // namespace

bool VerifyOwnSignature() {
    std::vector<wchar_t> path(32768);
    DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
    if (length == 0 || length >= path.size())
        return false;
    // Shared for reading only: between this check and the reading of the payload
    // nobody may write, rename or delete the file.
    HANDLE file = CreateFileW(path.data(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    ReleaseVerifiedImage();
    verifiedImage.store(file);
    std::vector<uint8_t> head;
    // An image that cannot be read cannot show that it is unsigned either.
    if (!readHead(file, head))
        return false;
    bool signedImage = Pellquin::CarriesSignature(head.data(), head.size());
    bool verified = false;
    if (signedImage) {
        LONG result = verifyTrust(path.data(), file);
        verified = result == ERROR_SUCCESS;
        if (!verified)
            Quillkit::LogDebugMessage(L"%s: WinVerifyTrust answered 0x%08lX for '%s'",
                                      L"VerifyOwnSignature", static_cast<unsigned long>(result),
                                      path.data());
    }
    return Pellquin::SignatureAccepted(signedImage, verified, kRequireSignature);
}

void ReleaseVerifiedImage() {
    HANDLE file = verifiedImage.exchange(INVALID_HANDLE_VALUE);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}
