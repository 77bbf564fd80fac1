#include "toolkit/ui/FolderPicker.h"

#include "resources/StringIds.h"
#include "toolkit/diag/ErrorReport.h"
#include "toolkit/diag/Raise.h"
#include "toolkit/diag/ToolkitStrings.h"
#include "toolkit/path/FileTests.h"
#include "toolkit/path/PathValidation.h"

#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>

namespace Quillkit {

// The open-file request and what the picker keeps of the dialog's windows.
struct FolderPickerRequest {
    OPENFILENAMEW ofn;
    WChar file[kMaxPath];
    HWND dialog;
    HWND listView;
    WNDPROC dialogProc;
    WNDPROC editProc;
    WNDPROC viewProc;
};

namespace {

// No file carries this extension, so the dialog lists folders only.
const WChar kFilter[] = L"Folders\0*.ac6b1e40-0e4d-11d5-8158-0050da5a2c97\0";
const WChar kPickerProperty[] = L"Quillkit.FolderPicker";
constexpr WPARAM kNewFolderCommand = 40962;
constexpr int kFileNameField = edt1;

FolderPicker* pickerOf(HWND window) {
    return static_cast<FolderPicker*>(GetPropW(window, kPickerProperty));
}

WString windowText(HWND window) {
    WChar text[kMaxPath] = {};
    GetWindowTextW(window, text, int(kMaxPath));
    return text;
}

WString systemMessage(DWORD error) {
    WChar text[256] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                   text, 256, nullptr);
    return text;
}

WNDPROC subclass(HWND window, WNDPROC procedure, FolderPicker* picker) {
    SetPropW(window, kPickerProperty, picker);
    SetLastError(0);
    LONG_PTR old = SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
    if (!old && GetLastError())
        RaiseWindowsError(L"SetWindowLong");
    return reinterpret_cast<WNDPROC>(old);
}

bool isNotFound(uint32_t code) {
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
}

} // namespace

FolderPicker::FolderPicker(HWND owner)
    : title(L"Select a folder"), request(new FolderPickerRequest{}), owner(owner),
      initialFolder(kDirectory), chosenFolder(kDirectory) {
    folderLabel = LoadToolkitString(StringId::kPickerFolderLabel);
    selectLabel = LoadToolkitString(StringId::kPickerSelectButton);
    cancelLabel = LoadToolkitString(StringId::kPickerCancelButton);
    lookInLabel = LoadToolkitString(StringId::kPickerLookInLabel);
}

FolderPicker::~FolderPicker() {
    delete request;
}

void FolderPicker::SetMustExist(bool value) {
    mustExist = value;
}

bool FolderPicker::Show(StrictPath& folder) {
    bool haveInitial = PrepareInitialFolder(folder);

    OPENFILENAMEW& ofn = request->ofn;
    ofn = OPENFILENAMEW{};
    // The structure as it was before the places bar: the dialog shows none.
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    ofn.hwndOwner = owner;
    ofn.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_NOCHANGEDIR;
    if (mustExist)
        ofn.Flags |= OFN_PATHMUSTEXIST;
    ofn.lpstrFilter = kFilter;
    ofn.nFilterIndex = 0;
    request->file[0] = 0;
    ofn.lpstrFile = request->file;
    ofn.nMaxFile = DWORD(kMaxPath);
    ofn.lpstrInitialDir = haveInitial ? initialFolder.GetPath() : nullptr;
    ofn.lpstrTitle = title.c_str();
    ofn.lpfnHook = HookProc;
    ofn.lCustData = reinterpret_cast<LPARAM>(this);

    WChar current[kMaxPath] = {};
    GetCurrentDirectoryW(DWORD(kMaxPath), current);
    savedCurrentDirectory = current;

    // Only Select ends the dialog with a folder; should the dialog's own OK end it all the
    // same (with the field empty and nothing selected), nothing was chosen and the caller's
    // folder stays, rather than becoming empty.
    bool chosen = GetOpenFileNameW(&ofn) != FALSE && !chosenFolder.IsEmpty();
    if (chosen)
        folder = chosenFolder;
    RemoveCreatedFolders();
    if (!chosen)
        lastError = CommDlgExtendedError();
    return chosen;
}

bool FolderPicker::PrepareInitialFolder(const StrictPath& folder) {
    std::vector<StrictPath> missing;
    StrictPath p(folder);
    while (!p.IsEmpty() && !DirectoryExists(p.GetPath())) {
        if (FileExists(p.GetPath())) {
            ShowFolderError(folder.GetPath(), ERROR_DIRECTORY);
            return false;
        }
        missing.push_back(p);
        p.GetParentDirectory();
    }
    if (!mustExist && !CreateFolders(missing))
        return false;
    initialFolder = folder;
    return true;
}

bool FolderPicker::CreateFolders(const std::vector<StrictPath>& missing) {
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (!CreateDirectoryW(it->GetPath(), nullptr)) {
            ShowFolderError(it->GetPath(), GetLastError());
            return false;
        }
        createdFolders.push_back(*it);
    }
    return true;
}

void FolderPicker::ShowFolderError(const WChar* folder, DWORD error) {
    WString text = LoadToolkitString(StringId::kPickerInvalidInitialFolder, WString(folder),
                                     systemMessage(error));
    HWND parent = request->dialog ? request->dialog : owner;
    MessageBoxW(parent, text.c_str(), L"Error", MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
}

void FolderPicker::RemoveCreatedFolders() {
    SetCurrentDirectoryW(savedCurrentDirectory.c_str());
    // Only empty folders go; the deepest were created last.
    for (auto it = createdFolders.rbegin(); it != createdFolders.rend(); ++it)
        RemoveDirectoryW(it->GetPath());
    createdFolders.clear();
}

int FolderPicker::ShowBox(const WString& text, const WString& caption, UINT type) {
    return MessageBoxW(request->dialog, text.c_str(), caption.c_str(), type | MB_SETFOREGROUND);
}

// --- the hook -----------------------------------------------------------------------

UINT_PTR CALLBACK FolderPicker::HookProc(HWND hook, UINT message, WPARAM, LPARAM lParam) {
    try {
        if (message == WM_INITDIALOG) {
            auto* ofn = reinterpret_cast<OPENFILENAMEW*>(lParam);
            auto* picker = reinterpret_cast<FolderPicker*>(ofn->lCustData);
            SetPropW(hook, kPickerProperty, picker);
            picker->OnInitDialog(hook);
            return 0;
        }
        if (message != WM_NOTIFY)
            return 0;
        FolderPicker* picker = pickerOf(hook);
        if (!picker)
            return 0;
        switch (reinterpret_cast<NMHDR*>(lParam)->code) {
        case CDN_FILEOK:
            // The dialog never closes through its own file-open logic.
            SetWindowLongPtrW(hook, DWLP_MSGRESULT, 1);
            return 1;
        case CDN_SELCHANGE:
        case CDN_FOLDERCHANGE:
            picker->RefreshSelection();
            break;
        default:
            break;
        }
    } catch (...) {
        HandleException(nullptr);
    }
    return 0;
}

void FolderPicker::OnInitDialog(HWND hook) {
    HWND dialog = GetParent(hook);
    request->dialog = dialog;
    for (int id : {cmb1, stc2, chx1})
        ShowWindow(GetDlgItem(dialog, id), SW_HIDE);
    SetDlgItemTextW(dialog, stc3, folderLabel.c_str());
    SetDlgItemTextW(dialog, IDOK, selectLabel.c_str());
    SetDlgItemTextW(dialog, stc4, lookInLabel.c_str());
    SetDlgItemTextW(dialog, IDCANCEL, cancelLabel.c_str());
    request->dialogProc = subclass(dialog, DialogProc, this);
    request->editProc = subclass(GetDlgItem(dialog, kFileNameField), EditProc, this);
    // The folder view may be in place already; later ones announce themselves.
    if (HWND view = FindWindowExW(dialog, nullptr, L"SHELLDLL_DefView", nullptr))
        SubclassView(view);
}

void FolderPicker::SubclassView(HWND view) {
    if (pickerOf(view) == this)
        return;
    request->viewProc = subclass(view, ViewProc, this);
    request->listView = FindWindowExW(view, nullptr, L"SysListView32", nullptr);
}

// --- the dialog window --------------------------------------------------------------

LRESULT CALLBACK FolderPicker::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    FolderPicker* picker = pickerOf(window);
    try {
        return picker->OnDialogMessage(window, message, wParam, lParam);
    } catch (...) {
        HandleException(nullptr);
    }
    return CallWindowProcW(picker->request->dialogProc, window, message, wParam, lParam);
}

LRESULT FolderPicker::OnDialogMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
        if (OnSelect())
            return 0;
    } else if (message == WM_COMMAND && LOWORD(wParam) == kNewFolderCommand) {
        newFolderPending = true;
    } else if (message == WM_PARENTNOTIFY && LOWORD(wParam) == WM_CREATE) {
        HWND child = reinterpret_cast<HWND>(lParam);
        WChar name[64] = {};
        GetClassNameW(child, name, 64);
        if (lstrcmpW(name, L"SHELLDLL_DefView") == 0)
            SubclassView(child);
    } else if (message == WM_NCDESTROY) {
        RemovePropW(window, kPickerProperty);
    }
    return CallWindowProcW(request->dialogProc, window, message, wParam, lParam);
}

bool FolderPicker::OnSelect() {
    if (passOkThrough) {
        passOkThrough = false;
        return false;
    }
    WString text = FieldText();
    if (text.empty())
        text = SelectionPath();
    if (text.empty())
        return false;

    WString message;
    uint32_t code = ValidateFolderPath(text.c_str(), message);
    if (code == ERROR_INVALID_DRIVE || code == ERROR_INVALID_NAME || code == ERROR_DIRECTORY) {
        ShowBox(message, title, MB_OK | MB_ICONWARNING);
        RefreshSelection();
        return false;
    }
    if (code != 0 && mustExist) {
        ShowBox(systemMessage(code), title, MB_OK | MB_ICONWARNING);
        RefreshSelection();
        return false;
    }
    size_t length = std::min(text.size(), kMaxPath - 1);
    std::copy_n(text.c_str(), length, request->file);
    request->file[length] = 0;
    chosenFolder.Assign(request->file, kDirectory);
    EndDialog(request->dialog, IDOK);
    return true;
}

WString FolderPicker::FieldText() {
    return windowText(GetDlgItem(request->dialog, kFileNameField));
}

WString FolderPicker::CurrentFolder() {
    WChar folder[kMaxPath] = {};
    LRESULT n = SendMessageW(request->dialog, CDM_GETFOLDERPATH, kMaxPath,
                             reinterpret_cast<LPARAM>(folder));
    return n > 0 ? WString(folder) : WString();
}

WString FolderPicker::SelectionPath() {
    WString folder = CurrentFolder();
    HWND list = request->listView;
    if (list && IsWindow(list)) {
        int item = int(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
        if (item >= 0) {
            WChar name[kMaxPath] = {};
            LVITEMW lv = {};
            lv.iSubItem = 0;
            lv.pszText = name;
            lv.cchTextMax = int(kMaxPath);
            SendMessageW(list, LVM_GETITEMTEXTW, WPARAM(item), reinterpret_cast<LPARAM>(&lv));
            if (name[0]) {
                if (!folder.empty() && folder.back() != L'\\')
                    folder += L'\\';
                folder += name;
            }
        }
    }
    if (folder.empty())
        return folder;
    // A relative answer is taken against the dialog's folder, for this moment only.
    bool absolute = folder.rfind(L"\\\\", 0) == 0 || (folder.size() > 1 && folder[1] == L':');
    if (!absolute) {
        WChar saved[kMaxPath] = {};
        GetCurrentDirectoryW(DWORD(kMaxPath), saved);
        SetCurrentDirectoryW(CurrentFolder().c_str());
        WChar full[kMaxPath] = {};
        if (GetFullPathNameW(folder.c_str(), DWORD(kMaxPath), full, nullptr))
            folder = full;
        SetCurrentDirectoryW(saved);
    }
    return folder;
}

void FolderPicker::RefreshSelection() {
    if (!request->dialog)
        return;
    WString selection = SelectionPath();
    EnableWindow(GetDlgItem(request->dialog, IDOK), !selection.empty());
    SetDlgItemTextW(request->dialog, kFileNameField, selection.c_str());
}

// --- the file-name field ------------------------------------------------------------

LRESULT CALLBACK FolderPicker::EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    FolderPicker* picker = pickerOf(window);
    try {
        return picker->OnEditMessage(window, message, wParam, lParam);
    } catch (...) {
        HandleException(nullptr);
    }
    return CallWindowProcW(picker->request->editProc, window, message, wParam, lParam);
}

LRESULT FolderPicker::OnEditMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC original = request->editProc;
    switch (message) {
    case WM_CHAR:
        editChanged = true;
        break;
    case WM_IME_ENDCOMPOSITION:
        imeEnded = true;
        break;
    case WM_GETDLGCODE: {
        // The field takes Enter itself instead of the dialog's default button.
        auto* msg = reinterpret_cast<MSG*>(lParam);
        if (msg && msg->wParam == VK_RETURN &&
            (msg->message == WM_KEYDOWN || msg->message == WM_KEYUP || msg->message == WM_CHAR))
            return DLGC_WANTMESSAGE;
        break;
    }
    case WM_KEYDOWN:
        // Some edit controls press the default button on this key themselves; here
        // Enter acts when it is released.
        if (wParam == VK_RETURN && !imeEnded)
            return 0;
        break;
    case WM_KEYUP:
        if (wParam != VK_RETURN)
            break;
        if (imeEnded) {
            imeEnded = false;
            break;
        }
        if (editChanged) {
            editChanged = false;
            OnEditEnter();
        }
        return 0;
    case WM_KILLFOCUS: {
        // Leaving the field for another control of the picker takes the typed text, as
        // Enter does, unless the focus goes into the folder list. Losing it to another
        // program (no window of ours gets it: another window was activated) is no answer
        // from the user, who may not even have finished typing; the text waits for Enter.
        HWND next = reinterpret_cast<HWND>(wParam);
        HWND view = FindWindowExW(request->dialog, nullptr, L"SHELLDLL_DefView", nullptr);
        bool insidePicker = next && IsChild(request->dialog, next);
        if (insidePicker && GetParent(next) != view && editChanged) {
            editChanged = false;
            OnEditEnter();
        }
        break;
    }
    case WM_NCDESTROY:
        RemovePropW(window, kPickerProperty);
        break;
    default:
        break;
    }
    return CallWindowProcW(original, window, message, wParam, lParam);
}

void FolderPicker::OnEditEnter() {
    WString text = FieldText();
    if (text.empty())
        return;
    bool accepted = true;
    if (!mustExist) {
        WString message;
        if (isNotFound(ValidateFolderPath(text.c_str(), message))) {
            WString question = LoadToolkitString(StringId::kPickerCreateFolderQuestion, text);
            accepted = ShowBox(question, title, MB_YESNO | MB_ICONQUESTION) == IDYES;
            if (accepted) {
                // The missing folders up to the first one that exists.
                std::vector<StrictPath> missing;
                StrictPath p(text.c_str(), kDirectory);
                while (!p.IsEmpty()) {
                    WString ignored;
                    uint32_t code = ValidateFolderPath(p.GetPath(), ignored);
                    if (code == 0)
                        break;
                    if (!isNotFound(code)) {
                        accepted = false;
                        break;
                    }
                    missing.push_back(p);
                    p.GetParentDirectory();
                }
                accepted = accepted && CreateFolders(missing);
            }
        }
    }
    // The dialog's own OK moves into the typed folder.
    passOkThrough = true;
    SendMessageW(request->dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(request->dialog, IDOK)));
    if (!accepted)
        RefreshSelection();
    SendDlgItemMessageW(request->dialog, kFileNameField, EM_SETSEL, 0, -1);
}

// --- the folder view ----------------------------------------------------------------

LRESULT CALLBACK FolderPicker::ViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    FolderPicker* picker = pickerOf(window);
    try {
        return picker->OnViewMessage(window, message, wParam, lParam);
    } catch (...) {
        HandleException(nullptr);
    }
    return CallWindowProcW(picker->request->viewProc, window, message, wParam, lParam);
}

LRESULT FolderPicker::OnViewMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC original = request->viewProc;
    if (message == WM_NCDESTROY)
        RemovePropW(window, kPickerProperty);
    if (message != WM_NOTIFY)
        return CallWindowProcW(original, window, message, wParam, lParam);
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->code != LVN_ENDLABELEDITW && header->code != LVN_ENDLABELEDITA)
        return CallWindowProcW(original, window, message, wParam, lParam);

    WString folder = CurrentFolder();
    if (!folder.empty() && folder.back() != L'\\')
        folder += L'\\';
    int item = -1;
    WString edited;
    bool haveText = false;
    if (header->code == LVN_ENDLABELEDITW) {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(lParam);
        item = info->item.iItem;
        if (info->item.pszText) {
            edited = info->item.pszText;
            haveText = true;
        }
    } else {
        auto* info = reinterpret_cast<NMLVDISPINFOA*>(lParam);
        item = info->item.iItem;
        if (info->item.pszText) {
            UINT codePage = CP_ACP;
            WChar number[8] = {};
            if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, number, 8))
                codePage = UINT(_wtoi(number));
            WChar wide[kMaxPath] = {};
            MultiByteToWideChar(codePage, 0, info->item.pszText, -1, wide, int(kMaxPath));
            edited = wide;
            haveText = true;
        }
    }
    WChar before[kMaxPath] = {};
    LVITEMW lv = {};
    lv.pszText = before;
    lv.cchTextMax = int(kMaxPath);
    SendMessageW(header->hwndFrom, LVM_GETITEMTEXTW, WPARAM(item), reinterpret_cast<LPARAM>(&lv));
    WString oldPath = folder + before;
    WString newPath = haveText ? folder + edited : WString();

    LRESULT result = CallWindowProcW(original, window, message, wParam, lParam);

    WString effective = haveText ? newPath : oldPath;
    if (!DirectoryExists(effective.c_str()))
        return result; // the rename did not take effect
    if (newFolderPending) {
        createdFolders.emplace_back(effective.c_str(), kDirectory);
        newFolderPending = false;
    } else if (haveText) {
        StrictPath old(oldPath.c_str(), kDirectory);
        for (StrictPath& created : createdFolders)
            if (created == old)
                created.Assign(newPath.c_str(), kDirectory);
    }
    RefreshSelection();
    return result;
}

} // namespace Quillkit
