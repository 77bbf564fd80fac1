#include "framework/App.h"

#include "framework/Wnd.h"

namespace {

CWinApp* theApp = nullptr;

// "C:\Kits\Pellquin.exe" gives "Pellquin".
os::wstring applicationName() {
    wchar_t path[MAX_PATH + 1] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    os::wstring name(path, length);
    size_t slash = name.find_last_of(L"\\/");
    if (slash != os::wstring::npos)
        name.erase(0, slash + 1);
    size_t dot = name.rfind(L'.');
    if (dot != os::wstring::npos && dot > 0)
        name.erase(dot);
    return name;
}

// SetDefaultDllDirectories, looked up in kernel32 (already loaded) because
// systems without the update that brought it must still start the program.
void RestrictLibrarySearchToSystem() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto restrict = kernel ? reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
                                 GetProcAddress(kernel, "SetDefaultDllDirectories")))
                           : nullptr;
    if (restrict)
        restrict(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

} // namespace

CWinApp::CWinApp() {
    theApp = this;
}

CWinApp::~CWinApp() {
    if (theApp == this)
        theApp = nullptr;
}

bool CWinApp::InitInstance() {
    return true;
}

int CWinApp::ExitInstance() {
    return 0;
}

int CWinApp::Run() {
    MSG msg;
    while (m_pMainWnd && m_pMainWnd->m_hWnd && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return ExitInstance();
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info) {
    ::ParseCommandLine(GetCommandLineW(), info);
}

CWinApp* CWinApp::Current() {
    return theApp;
}

HWND CWinApp::MainWindowHandle() {
    return theApp && theApp->m_pMainWnd ? theApp->m_pMainWnd->m_hWnd : nullptr;
}

// The program's entry: the application object was made by a global constructor.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Before anything else may load a library: libraries come from the system
    // folder alone, never from the program's folder (typically Downloads) or
    // the current one.
    RestrictLibrarySearchToSystem();
    CWinApp* app = theApp;
    if (!app)
        return 1;
    app->m_hInstance = instance;
    app->m_pszAppName = applicationName();
    if (app->InitInstance())
        return app->Run();
    return app->ExitInstance();
}
