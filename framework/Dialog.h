// Modal dialogs from a dialog template, with data exchange (controls bound to
// members) and a message map (messages and commands routed to member handlers).
#pragma once

#include "framework/Wnd.h"

#include <cstddef>

class CDialog;

// A handler says whether it handled the message; `result` is the dialog
// procedure's answer then (for messages that return a value, such as
// WM_QUERYDRAGICON), otherwise the default handling follows.
using DialogHandler = bool (CDialog::*)(WPARAM wParam, LPARAM lParam, LRESULT& result);

struct MessageMapEntry {
    UINT message;
    UINT commandId; // WM_COMMAND only: the control or command id
    DialogHandler handler;
};

struct MessageMap {
    const MessageMap* base;
    const MessageMapEntry* entries;
    size_t count;
};

// A message map entry for a handler of a class derived from CDialog.
#define DIALOG_MESSAGE(message, handler)                                                           \
    { message, 0, static_cast<DialogHandler>(handler) }
#define DIALOG_COMMAND(id, handler)                                                                \
    { WM_COMMAND, id, static_cast<DialogHandler>(handler) }

class CDataExchange {
public:
    CDataExchange(HWND dialog, bool saveAndValidate)
        : m_hDialog(dialog), m_bSaveAndValidate(saveAndValidate) {}
    HWND m_hDialog;
    bool m_bSaveAndValidate;
};

// Binds `control` to the dialog's control `id`.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, HWND parent = nullptr);

    // Creates the dialog and runs it until EndDialog; returns EndDialog's result,
    // or -1 when the dialog could not be created.
    virtual INT_PTR DoModal();
    void EndDialog(INT_PTR result);

    // Runs the data exchange; false when it failed.
    bool UpdateData(bool saveAndValidate = true);
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    void SetDlgItemText(int id, const wchar_t* text) { ::SetDlgItemTextW(m_hWnd, id, text); }

protected:
    // Binds the controls; returns true to let the system set the focus.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* dx);
    // Enter and the default button (id 1), Esc and Close (id 2), when the map has no
    // entry for them.
    virtual void OnOK();
    virtual void OnCancel();

    virtual const MessageMap* GetMessageMap() const;

    UINT m_nIDTemplate;
    HWND m_hParent;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
};
