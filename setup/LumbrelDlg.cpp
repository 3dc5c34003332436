#include "LumbrelDlg.h"

#include <memory>

#include "AboutDlg.h"
#include "app.h"
#include "fwstring.h"
#include "dialog_icon.h"
#include "ole.h"
#include "resource.h"
#include "station_messages.h"

namespace {
const char kSetupCaption[] = "Kelmirt Setup";
}

const CMessageMap* CLumbrelDlg::StaticMap() {
    static const CMessageMap map = MessageMapOf<CLumbrelDlg>(CDialog::StaticMap())
        .Message(WM_SYSCOMMAND, &CLumbrelDlg::OnSysCommand)
        .Message(WM_PAINT, &CLumbrelDlg::OnPaint)
        .Message(WM_QUERYDRAGICON, &CLumbrelDlg::OnQueryDragIcon)
        .Command(IDCANCEL, &CLumbrelDlg::OnCancelClicked)
        .Command(IDOK, &CLumbrelDlg::OnSetup);
    return &map;
}

CLumbrelDlg::CLumbrelDlg(CWnd* parent) : CDialog(IDD_LUMBREL_DIALOG, parent) {
    m_hIcon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
}

void CLumbrelDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_VERSION_LIST, m_versionList);
}

std::string ToolFolder() {
    std::string path = AfxGetApp()->ModulePath();
    size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

BOOL CLumbrelDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    AppendSystemMenuItem(m_hWnd, IDM_ABOUTBOX, AfxGetApp()->LoadString(IDS_ABOUTBOX));
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    // The list's rows are the version table's, in its order.
    for (const DrawVersion& v : kDrawVersions) m_versionList.AddString(v.listText);
    m_versionList.SetCurSel(kPreselectedVersion);
    AfxOleInit();
    return TRUE;
}

LRESULT CLumbrelDlg::OnSysCommand(WPARAM wp, LPARAM) {
    if ((wp & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
        return 0;
    }
    return Default();
}

LRESULT CLumbrelDlg::OnPaint(WPARAM, LPARAM) {
    if (!IsIconic()) return Default();
    PaintMinimizedIcon(m_hWnd, m_hIcon);
    return 0;
}

LRESULT CLumbrelDlg::OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(m_hIcon); }

void CLumbrelDlg::OnCancelClicked() { EndDialog(IDCANCEL); }

int CLumbrelDlg::SetupMessage(const char* text, UINT icon) { return MessageBox(text, kSetupCaption, MB_OK | icon); }

void CLumbrelDlg::OnSetup() {
    // Never while the station runs: its program file is about to be replaced.
    if (FindWindowW(Utf8ToWide(kStationWindowClass).c_str(), Utf8ToWide(kStationCaption).c_str())) {
        SetupMessage("Kelmirt is running.Close it or Restart computer! ", MB_ICONSTOP);
        return;
    }
    // Wrappers still attached when this returns release their objects.
    CDrawAppDriver app;
    CDrawApp11Driver app11;
    CGmsFolderDriver gms;
    std::string gmsFolder, toolFolder = ToolFolder();
    auto error = std::make_unique<COleException>();

    int index = m_versionList.GetCurSel();
    if (index < 0 || index >= kDrawVersionCount) return;
    const DrawVersion& version = kDrawVersions[index];
    COleDispatchDriver& driver = index == kDrawVersion11 ? static_cast<COleDispatchDriver&>(app11) : app;
    if (!driver.CreateDispatch(version.progId, error.get())) {
        error->ReportError();
        error.reset();
        SetupMessage(version.failureText, MB_ICONSTOP);
        return;
    }
    error.reset();

    try {
        bool prepared = index == kDrawVersion11 ? PrepareDraw11(app11, gms, toolFolder, gmsFolder)
                                                : PrepareDraw(index, app, toolFolder, gmsFolder);
        if (!prepared) return;
    } catch (const COleDispatchException& e) {
        // The drawing program refused a call: tell the user, drop this attempt.
        e.ReportError();
        return;
    }

    if (!CopyMacros(toolFolder, gmsFolder)) return;
    if (!InstallStation(toolFolder)) return;
    SetupMessage("Sucessed!", 0);
    EndDialog(IDOK);
}
