#pragma once
// Lumbrel's one dialog: the drawing-program version list and Setup, which
// prepares that version for the station and installs the station.
#include <string>

#include "DrawDrivers.h"
#include "DrawVersions.h"
#include "combobox.h"
#include "dialog.h"

class CLumbrelDlg : public CDialog {
    FW_DECLARE_MESSAGE_MAP()
public:
    explicit CLumbrelDlg(CWnd* parent = nullptr);

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    LRESULT OnSysCommand(WPARAM wp, LPARAM lp);
    LRESULT OnPaint(WPARAM wp, LPARAM lp);
    LRESULT OnQueryDragIcon(WPARAM wp, LPARAM lp);
    void OnCancelClicked();
    void OnSetup();

    CComboBox m_versionList;
    CComboBoxEx m_versionListEx;  // bound to no control
    HICON m_hIcon = nullptr;

private:
    // The drawing program's part of Setup (LumbrelPrepare.cpp): the GMS folder, or
    // false after the user has been told why not.
    bool PrepareDraw(int index, CDrawAppDriver& app, const std::string& toolFolder, std::string& gmsFolder);
    bool PrepareDraw11(CDrawApp11Driver& app, CGmsFolderDriver& gms, const std::string& toolFolder,
                       std::string& gmsFolder);
    // The files' part (LumbrelInstall.cpp): macros into the GMS folder, then the station.
    bool CopyMacros(const std::string& toolFolder, const std::string& gmsFolder);
    bool InstallStation(const std::string& toolFolder);
    int SetupMessage(const char* text, UINT icon);
};

// The folder of the running program, without its trailing backslash.
std::string ToolFolder();
