// The version-dependent services against the real system.
#include "tests/unit/toolkit/ToolkitTestSupport.h"

#include "toolkit/platform/WaitWithMessages.h"
#include "toolkit/platform/WindowsVersion.h"

#include <optional>
#include <thread>
#include <windows.h>

namespace qktest {
namespace {

using namespace Quillkit;

constexpr const wchar_t* kPersisted =
    L"Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility "
    L"Assistant\\Persisted";

// The marker of this executable, or nothing.
std::optional<DWORD> Marker() {
    wchar_t path[MAX_PATH + 1];
    GetModuleFileNameW(nullptr, path, MAX_PATH + 1);
    DWORD value = 0;
    DWORD type = 0;
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, kPersisted, path, RRF_RT_ANY, &type, &value, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    EXPECT_EQ(type, DWORD(REG_DWORD));
    return value;
}

void RemoveMarker() {
    wchar_t path[MAX_PATH + 1];
    GetModuleFileNameW(nullptr, path, MAX_PATH + 1);
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kPersisted, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueW(key, path);
        RegCloseKey(key);
    }
}

TEST(PlatformWinTest, WindowsVersionOfAnNtSystem) {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionExW(&info));
    EXPECT_EQ(GetWindowsVersion(), int(100 * info.dwMajorVersion + info.dwMinorVersion));
}

TEST(PlatformWinTest, CompatibilityMarkerIsWrittenFromVersion601) {
    RemoveMarker();
    SetCompatibilityAssistantFlag(0);
    std::optional<DWORD> expected;
    if (GetWindowsVersion() >= 601)
        expected = 1;
    EXPECT_EQ(Marker(), expected);
    SetCompatibilityAssistantFlag(1);
    if (GetWindowsVersion() >= 600)
        expected = 0x20;
    EXPECT_EQ(Marker(), expected);
    RemoveMarker();
    SetCompatibilityAssistantFlag(7);
    EXPECT_EQ(Marker(), std::nullopt);
}

TEST(PlatformWinTest, WaitWithMessagesDispatchesThenReturnsForASignalledHandle) {
    HANDLE event = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    ASSERT_NE(event, nullptr);
    ASSERT_TRUE(PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0));
    EXPECT_EQ(WaitWithMessages(reinterpret_cast<os::WaitHandle>(event)), 0u);
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    CloseHandle(event);
}

TEST(PlatformWinTest, WaitWithMessagesWaitsForAnotherThread) {
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread signaller([&] {
        Sleep(100);
        SetEvent(event);
    });
    EXPECT_EQ(WaitWithMessages(reinterpret_cast<os::WaitHandle>(event)), 0u);
    signaller.join();
    CloseHandle(event);
}

} // namespace
} // namespace qktest
