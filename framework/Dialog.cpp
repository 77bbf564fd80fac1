#include "framework/Dialog.h"

#include "framework/App.h"

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (!control.m_hWnd)
        control.m_hWnd = ::GetDlgItem(dx->m_hDialog, id);
}

CDialog::CDialog(UINT templateId, HWND parent) : m_nIDTemplate(templateId), m_hParent(parent) {}

INT_PTR CDialog::DoModal() {
    HINSTANCE instance = CWinApp::Current() ? CWinApp::Current()->m_hInstance : nullptr;
    INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(m_nIDTemplate), m_hParent,
                                     DialogProc, reinterpret_cast<LPARAM>(this));
    m_hWnd = nullptr;
    return result;
}

void CDialog::EndDialog(INT_PTR result) {
    ::EndDialog(m_hWnd, result);
}

bool CDialog::UpdateData(bool saveAndValidate) {
    CDataExchange dx(m_hWnd, saveAndValidate);
    DoDataExchange(&dx);
    return true;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK() {
    UpdateData(true);
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

const MessageMap* CDialog::GetMessageMap() const {
    return nullptr;
}

bool CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    for (const MessageMap* map = GetMessageMap(); map; map = map->base) {
        for (size_t i = 0; i < map->count; ++i) {
            const MessageMapEntry& entry = map->entries[i];
            if (entry.message != message)
                continue;
            if (message == WM_COMMAND && entry.commandId != LOWORD(wParam))
                continue;
            return (this->*entry.handler)(wParam, lParam, result);
        }
    }
    if (message == WM_COMMAND && HIWORD(wParam) == 0) {
        if (LOWORD(wParam) == IDOK) {
            OnOK();
            return true;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            return true;
        }
    }
    return false;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialog* dialog = nullptr;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        dialog->m_hWnd = window;
        return dialog->OnInitDialog();
    }
    dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!dialog)
        return FALSE;
    LRESULT result = 0;
    if (!dialog->Dispatch(message, wParam, lParam, result))
        return FALSE;
    switch (message) {
    // These answer through the procedure's return value itself.
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
        return INT_PTR(result);
    default:
        SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
        return TRUE;
    }
}
