// A window handle with the few operations the dialogs use.
#pragma once

#include "os/WideText.h"

#include <windows.h>

class CWnd {
public:
    virtual ~CWnd() = default;

    HWND GetSafeHwnd() const { return m_hWnd; }
    void SetWindowText(const wchar_t* text) { ::SetWindowTextW(m_hWnd, text); }
    os::wstring GetWindowText() const;
    void EnableWindow(bool enable) { ::EnableWindow(m_hWnd, enable); }
    void ShowWindow(int command) { ::ShowWindow(m_hWnd, command); }
    void SetFocus() { ::SetFocus(m_hWnd); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return ::PostMessageW(m_hWnd, message, wParam, lParam);
    }

    HWND m_hWnd = nullptr;
};

// A control of a dialog, bound to its window during data exchange.
class CProgressCtrl : public CWnd {
public:
    void SetPos(int position) { SendMessage(0x0402 /* PBM_SETPOS */, WPARAM(position)); }
};

class CStatic : public CWnd {};
