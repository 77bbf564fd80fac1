#include "framework/Wnd.h"

os::wstring CWnd::GetWindowText() const {
    int length = ::GetWindowTextLengthW(m_hWnd);
    if (length <= 0)
        return {};
    os::wstring text(size_t(length) + 1, L'\0');
    int got = ::GetWindowTextW(m_hWnd, text.data(), length + 1);
    text.resize(got > 0 ? size_t(got) : 0);
    return text;
}
