// The launcher's only window: banner, welcome text, download directory with
// Browse, Start and Exit. In extract-only mode it is never shown and starts by
// itself with the directory from the command line.
#pragma once

#include "framework/Dialog.h"
#include "toolkit/path/StrictPath.h"

#include <vector>

// The banner bitmaps IDB_TOPSTRIP0..9 of the module, and the one chosen for the
// dialog's strip (owned here).
struct BannerSet {
    HMODULE module = nullptr;
    std::vector<os::wstring> names;
    HBITMAP chosen = nullptr;
    RECT size = {0, 0, 0, 0};
};

class CPellquinDlg : public CDialog {
public:
    CPellquinDlg();
    ~CPellquinDlg() override;

    // Read by the extraction worker while the dialog waits for it.
    const Quillkit::StrictPath& DownloadDir() const { return m_downloadDir; }
    // Records the directory for this suite (on the worker thread); never fails.
    void SavePreferences();

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    const MessageMap* GetMessageMap() const override;

private:
    bool OnPaint(WPARAM, LPARAM, LRESULT& result);
    bool OnQueryDragIcon(WPARAM, LPARAM, LRESULT& result);
    bool OnWindowPosChanging(WPARAM, LPARAM lParam, LRESULT& result);
    bool OnExitCommand(WPARAM, LPARAM, LRESULT& result);
    bool OnBrowseCommand(WPARAM, LPARAM, LRESULT& result);
    bool OnStartCommand(WPARAM, LPARAM, LRESULT& result);
    bool OnProgress(WPARAM wParam, LPARAM, LRESULT& result);
    bool OnStartRequest(WPARAM, LPARAM, LRESULT& result);

    void InitializeDialog();
    void OnBnClickedBrowse();
    void OnBnClickedOk();
    // Validations of the directory text, each ending the handler with its box.
    bool AcceptDirectory(const os::wstring& text, Quillkit::StrictPath& path);
    // Runs the worker and waits for it; ends the dialog unless the user may pick
    // another directory.
    void RunExtraction(const Quillkit::StrictPath& directory);
    void EnableControls(bool enable);

    void LoadPreferences();
    void CollectBanners();
    HBITMAP ChooseBanner(const RECT* rect);

    HICON m_hIcon;
    CProgressCtrl m_progress;
    Quillkit::StrictPath m_downloadDir;
    Quillkit::StrictPath m_iniPath;
    BannerSet m_bannerSet;
    CStatic m_banner;
    // While the worker runs, the dialog starts nothing and does not end.
    bool m_running = false;
    // The signature check refused the installer: the dialog is never shown.
    bool m_refused = false;

    static const MessageMapEntry messageEntries[];
    static const MessageMap messageMap;
};

// Whether the launcher runs without its window (/extractOnly DIR).
bool IsExtractOnly();
