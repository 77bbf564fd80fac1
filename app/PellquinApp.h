// The launcher's application object: the whole run happens in InitInstance.
#pragma once

#include "framework/App.h"

class CPellquinApp : public CWinApp {
public:
    bool InitInstance() override;
    // The base exit hook, then m_nExitCode: 0 for success, 1 for usage or failure,
    // or setup.exe's own status once it ran to its end.
    int ExitInstance() override;

    int32_t m_nExitCode = 0;

private:
    void ShowUsage();
};

extern CPellquinApp theApp;
