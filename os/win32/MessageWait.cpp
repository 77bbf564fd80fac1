#include "os/MessageWait.h"

#include <windows.h>

namespace os {

uint32_t waitWithMessages(WaitHandle handle) {
    HANDLE object = reinterpret_cast<HANDLE>(handle);
    DWORD result;
    do {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        result = MsgWaitForMultipleObjects(1, &object, FALSE, INFINITE, QS_ALLINPUT);
    } while (result == WAIT_OBJECT_0 + 1);
    return result;
}

} // namespace os
