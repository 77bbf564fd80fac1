// Choosing a folder with the system's Explorer-style Open dialog, made to list
// only folders and to return one. The dialog opens inside the proposed folder
// even when it does not exist yet: the picker creates the missing folders first
// and, when the dialog closes, removes every folder it created (or that the user
// created and renamed inside it) that is still empty.
#pragma once

#include "toolkit/path/StrictPath.h"

#include <windows.h>

#include <vector>

namespace Quillkit {

struct FolderPickerRequest;

class FolderPicker {
public:
    explicit FolderPicker(HWND owner);
    ~FolderPicker();
    FolderPicker(const FolderPicker&) = delete;
    FolderPicker& operator=(const FolderPicker&) = delete;

    // Whether the chosen folder must already exist (off unless asked for).
    void SetMustExist(bool mustExist);

    // Opens the dialog at `folder`; on true `folder` holds the chosen folder
    // (a directory path). False for Cancel or a failed dialog (see lastError).
    bool Show(StrictPath& folder);

    WString title;
    // The common dialog's extended error of the last failed Show.
    DWORD lastError = 0;

    // The dialog's window procedures; public for the callbacks only.
    static UINT_PTR CALLBACK HookProc(HWND hook, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    bool PrepareInitialFolder(const StrictPath& folder);
    // Creates the folders of `missing` (deepest first) from the topmost down.
    bool CreateFolders(const std::vector<StrictPath>& missing);
    void ShowFolderError(const WChar* folder, DWORD error);
    void RemoveCreatedFolders();

    void OnInitDialog(HWND hook);
    LRESULT OnDialogMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnEditMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnViewMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Returns true when the dialog was closed with the chosen folder.
    bool OnSelect();
    void OnEditEnter();
    void RefreshSelection();
    WString SelectionPath();
    WString CurrentFolder();
    WString FieldText();
    void SubclassView(HWND view);
    int ShowBox(const WString& text, const WString& caption, UINT type);

    FolderPickerRequest* request;
    HWND owner;
    bool mustExist = false;
    WString folderLabel;
    WString selectLabel;
    WString cancelLabel;
    WString lookInLabel;
    WString savedCurrentDirectory;
    StrictPath initialFolder;
    StrictPath chosenFolder;
    std::vector<StrictPath> createdFolders;
    bool newFolderPending = false;
    bool passOkThrough = false;
    bool editChanged = false;
    bool imeEnded = false;
};

} // namespace Quillkit
