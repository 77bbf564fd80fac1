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
    CWinApp* app = theApp;
    if (!app)
        return 1;
    app->m_hInstance = instance;
    app->m_pszAppName = applicationName();
    if (app->InitInstance())
        return app->Run();
    return app->ExitInstance();
}
