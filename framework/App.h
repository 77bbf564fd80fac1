// The application object of a dialog-based Windows program: the framework calls
// InitInstance, runs a message loop only when it returns true, and ends the
// process with the result of ExitInstance.
#pragma once

#include "framework/CommandLineInfo.h"

#include <windows.h>

class CWnd;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual bool InitInstance();
    // The process exit status.
    virtual int ExitInstance();
    // The message loop, while a main window exists.
    virtual int Run();

    // Every argument of the process's command line to `info`.
    void ParseCommandLine(CCommandLineInfo& info);
    // ActiveX controls are not hosted by this framework's dialogs; kept for the
    // start-up sequence's sake.
    void EnableControlContainer() {}

    HINSTANCE m_hInstance = nullptr;
    // The executable's file name without its extension.
    os::wstring m_pszAppName;
    CWnd* m_pMainWnd = nullptr;

    // The one application object of the process.
    static CWinApp* Current();
    // The main window's handle, null while there is none.
    static HWND MainWindowHandle();
};
