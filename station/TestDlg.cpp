#include "TestDlg.h"

#include <cstdlib>
#include <ctime>

#include "AboutDlg.h"
#include "SerialPort.h"
#include "StationState.h"
#include "UsbLink.h"
#include "app.h"
#include "dialog_icon.h"
#include "fwstring.h"
#include "gdi.h"
#include "profile_win32.h"
#include "resource.h"
#include "station_messages.h"

namespace {
const COLORREF kStatusText = 0xC81111;
const COLORREF kIdleGrey = 0xC8D0D4;
}  // namespace

const CMessageMap* CTestDlg::StaticMap() {
    static const CMessageMap map = MessageMapOf<CTestDlg>(CDialog::StaticMap())
        .Command(ID_TRAY_EXIT, &CTestDlg::OnOK)
        .Command(IDC_STOP, &CTestDlg::OnStopCutting)
        .Command(ID_TRAY_STOP, &CTestDlg::OnStopCutting)
        .Command(IDC_SETTINGS, &CTestDlg::OnSettings)
        .Command(ID_TRAY_SET, &CTestDlg::OnSettings)
        .Command(IDC_OPENPLT, &CTestDlg::OnOpenPltFile)
        .Command(IDC_AUTOMODE, &CTestDlg::OnAutoMode)
        .Command(IDC_FILEMODE, &CTestDlg::OnFileMode)
        .Command(ID_TRAY_ABOUT, &CTestDlg::OnAbout)
        .Command(ID_TRAY_HELP, &CTestDlg::EmptyHandler)
        .Command(IDC_LOGO, &CTestDlg::EmptyHandler)
        .ControlNotify(EN_CHANGE, IDC_STATUS, &CTestDlg::EmptyHandler)
        .Message(WM_CLOSE, &CTestDlg::OnClose)
        .Message(WM_SYSCOMMAND, &CTestDlg::OnSysCommand)
        .Message(WM_PAINT, &CTestDlg::OnPaint)
        .Message(WM_QUERYDRAGICON, &CTestDlg::OnQueryDragIcon)
        .Message(WM_CTLCOLOREDIT, &CTestDlg::OnCtlColor)
        .Message(WM_CTLCOLORSTATIC, &CTestDlg::OnCtlColor)
        .Message(WM_TIMER, &CTestDlg::OnTimer)
        .Message(WM_DEVICECHANGE, &CTestDlg::OnDeviceChange)
        .Message(WM_DESTROY, &CTestDlg::OnDestroy)
        .Message(WM_TRAY_NOTIFY, &CTestDlg::OnTrayNotify)
        .Message(WM_STATION_PING, &CTestDlg::OnPing)
        .Message(WM_GET_LANGUAGE, &CTestDlg::OnGetLanguage)
        .Message(WM_PORT_WRITTEN, &CTestDlg::OnSendProgress)
        .Message(WM_SEND_JOBFILE, &CTestDlg::OnSendJobFile)
        .Message(WM_CUTTER_UNAVAILABLE, &CTestDlg::OnCutterUnavailable)
        .Message(WM_PORT_ERROR, &CTestDlg::OnPortError)
        .Message(WM_PLT_EXPORTED, &CTestDlg::OnPltExported)
        .Message(WM_OPEN_SETTINGS, &CTestDlg::OnOpenSettingsRequest)
        .Message(WM_GET_BARCODE_NUMBER, &CTestDlg::OnGetBarcodeNumber)
        .Message(WM_MARKDATA_READY, &CTestDlg::OnMarkDataReady)
        .Message(WM_DRIVE_EXPORT_DIALOG, &CTestDlg::OnDriveExportDialog);
    return &map;
}

CTestDlg::CTestDlg(CWnd* parent) : CDialog(IDD_KELMIRT_DIALOG, parent) {
    m_hIcon = AfxGetApp()->LoadIcon(IDI_STATION);
}

CTestDlg::~CTestDlg() {
    if (m_statusBrush) DeleteObject(m_statusBrush);
    if (m_overlapped.hEvent) CloseHandle(m_overlapped.hEvent);
    delete[] m_sendBuffer;
}

void CTestDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_OPENPLT, m_btnOpenPlt);
    DDX_Control(pDX, IDC_SETTINGS, m_btnSettings);
    DDX_Control(pDX, IDC_STOP, m_btnStop);
    DDX_Control(pDX, IDOK, m_btnExit);
    DDX_Control(pDX, IDC_LOGO, m_btnLogo);
    DDX_Control(pDX, IDC_PROGRESS, m_progress);
    DDX_Control(pDX, IDC_BANNER, m_banner);
    DDX_Control(pDX, IDC_COMPORT, m_comPort);
    DDX_Control(pDX, IDC_STATUS, m_status);
    DDX_Control(pDX, IDC_LINKSTATE, m_linkState);
    DDX_Control(pDX, IDC_AUTOMODE, m_radioAuto);
    DDX_Control(pDX, IDC_FILEMODE, m_radioFile);
    DDX_Control(pDX, IDC_MODEGROUP, m_modeGroup);
}

bool CTestDlg::ProfileValue(uint8_t mode, const char* section, const char* key, std::string& text) {
    CIniProfile profile(m_settingsPath);
    return ::ProfileValue(profile, mode, section, key, text);
}

void CTestDlg::SetStatusText(const char* english, const std::string& chinese) {
    m_status.SetWindowText(m_english ? std::string(english) : chinese);
}

BOOL CTestDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CWinApp* app = AfxGetApp();

    // About item on the system menu.
    AppendSystemMenuItem(m_hWnd, IDM_SYSTEM_ABOUT, app->LoadString(IDS_ABOUTBOX));
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    std::srand(static_cast<unsigned>(std::time(nullptr)));

    // The macros run at a lower integrity level; admit the messages they may send.
    typedef BOOL(WINAPI * FilterFn)(UINT, DWORD);
    if (HMODULE user = GetModuleHandleW(L"USER32")) {
        if (auto filter = reinterpret_cast<FilterFn>(
                reinterpret_cast<void*>(GetProcAddress(user, "ChangeWindowMessageFilter"))))
            for (unsigned msg : kStationAdmittedMessages) filter(msg, 1 /* MSGFLT_ADD */);
    }

    m_markDataPresent = 0;
    m_sendBuffer = nullptr;

    SetDlgItemText(IDC_STATIC, std::string(kMakerWebAddress) + "\r\n       V3.6 ");

    if (!m_tray.AddTrayIcon(m_hWnd, WM_TRAY_NOTIFY, app->LoadString(IDS_TRAY_TIP), nullptr, IDR_TRAYMENU))
        return FALSE;
    m_tray.SetEnglish(m_english);
    m_tray.SetTrayIcon(IDI_STATION);

    // Flat icon buttons, in the order they are set up; the logo has no tooltip.
    const struct {
        CGuiButton& button;
        int icon;
        const char* englishTip;
        const char* chineseTip;
    } buttons[] = {
        {m_btnSettings, IDI_SETTINGS, "Option", "设置参数"},
        {m_btnLogo, IDI_LOGO, nullptr, nullptr},
        {m_btnExit, IDI_EXIT, "Exit", "关闭"},
        {m_btnOpenPlt, IDI_OPENPLT, "Cutting from CorelDraw plt file", "切割CORELDRAW导出的PLT文件"},
        {m_btnStop, IDI_CANCEL, "Cancel work", "取消切割数据"},
    };
    for (const auto& b : buttons) {
        b.button.SetStyleFlag(2);
        b.button.SetIcons(b.icon, -1, -1, 32, 32);
        if (b.englishTip) b.button.SetToolTip(m_english ? b.englishTip : b.chineseTip);
        b.button.SetLayoutFlag(1);
    }
    m_btnOpenPlt.EnableWindow(TRUE);

    m_progress.SetBgColour(kIdleGrey);
    m_progress.SetTextColour(kIdleGrey);
    m_progress.SetTextOnBarColour(kIdleGrey);
    Invalidate(TRUE);

    {
        CClientDC dc(m_hWnd);
        m_dialogBackground = dc.GetBkColor();
    }

    m_settingsPath = StationSettingsPath(app->ModulePath());
    LoadSettings();

    m_driveDialog = 0;
    m_autoMode = 1;
    m_radioAuto.SetSelected(1);

    g_stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    g_watcherFolder = m_settings.exportFolder;
    ResetEvent(g_stopEvent);
    g_watcherThread = nullptr;

    // A job file left over from an earlier run would be taken for a new job.
    std::wstring stale = Utf8ToWide(FormatText("%s\\%s", m_settings.exportFolder.c_str(), m_settings.exportFileName.c_str()));
    HANDLE f = CreateFileW(stale.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f != INVALID_HANDLE_VALUE) {
        CloseHandle(f);
        DeleteFileW(stale.c_str());
    }
    m_settingsLoaded = true;

    m_deviceStatus[0] = m_deviceStatus[1] = 0;
    m_deviceReady = 0;
    LookForCutter();
    if (!RegisterDeviceWatch(kUsbPrintInterface, m_hWnd, &m_hDevNotify))
        MessageBox("RegisterDeviceInterface failed!");
    m_banner.SetWindowText("DREVIK PLOTTER \r\n");

    PostMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    return TRUE;
}

void CTestDlg::LoadSettings() {
    CIniProfile profile(m_settingsPath);
    StationSettingsLoadHooks hooks;
    hooks.afterComReads = [this] {
        m_linkUsable = 1;
        m_hDevice = nullptr;
        m_comPort.SetWindowText(FormatText("COM: COM%d", static_cast<int>(m_settings.currentCom)));
    };
    hooks.afterModel = [this] { m_btnStop.EnableWindow(FALSE); };
    ::LoadSettings(profile, TempFolder(), m_settings, &hooks);
}

LRESULT CTestDlg::OnSysCommand(WPARAM wp, LPARAM) {
    if ((wp & 0xFFF0) == IDM_SYSTEM_ABOUT) {
        CAboutDlg about;
        about.DoModal();
        return 0;
    }
    if (wp == SC_MINIMIZE) {
        // The station lives in the tray: minimizing hides it.
        ShowWindow(SW_HIDE);
        return 0;
    }
    return Default();
}

void CTestDlg::OnAbout() {
    CAboutDlg about;
    about.DoModal();
}

LRESULT CTestDlg::OnPaint(WPARAM, LPARAM) {
    if (!IsIconic()) return Default();
    PaintMinimizedIcon(m_hWnd, m_hIcon);
    return 0;
}

LRESULT CTestDlg::OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(m_hIcon); }

LRESULT CTestDlg::OnCtlColor(WPARAM wp, LPARAM lp) {
    CDC dc(reinterpret_cast<HDC>(wp));
    int id = GetDlgCtrlID(reinterpret_cast<HWND>(lp));
    if (id == IDC_STATUS) {
        COLORREF back = g_idle ? kIdleGrey : m_dialogBackground;
        dc.SetTextColor(kStatusText);
        dc.SetBkColor(back);
        // One brush at a time: the previous one is no longer in use once a new one is handed out.
        if (m_statusBrush) DeleteObject(m_statusBrush);
        m_statusBrush = CreateSolidBrush(back);
        return reinterpret_cast<LRESULT>(m_statusBrush);
    }
    if (id == IDC_LINKSTATE) {
        dc.SetTextColor(m_ctsOnline ? 0x00FF00 : 0xFFFFFF);
        dc.SetBkColor(0x000000);
        return reinterpret_cast<LRESULT>(GetStockObject(BLACK_BRUSH));
    }
    return Default();
}

LRESULT CTestDlg::OnTimer(WPARAM wp, LPARAM) {
    if (wp == 1) {
        if (g_blinkToggle == 1) {
            m_tray.SetTrayIcon(IDI_BLINK1);
            g_blinkToggle = 0;
        } else {
            m_tray.SetTrayIcon(IDI_BLINK2);
            g_blinkToggle = 1;
        }
    } else if (wp == 2) {
        // A tick left in the queue after the send ended finds no device.
        if (m_hDevice && m_hDevice != INVALID_HANDLE_VALUE && !g_idle) PollWrite();
    }
    return Default();
}

LRESULT CTestDlg::OnClose(WPARAM, LPARAM) { return 0; }

LRESULT CTestDlg::OnDestroy(WPARAM, LPARAM) {
    // Ended while sending (Esc): the write under way must not outlive the device handle.
    if (!g_idle) {
        KillTimer(1);
        AbandonDevice();
    }
    PurgeComm(g_serialPort.GetPortHandle(), PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    m_tray.RemoveTrayIcon();
    if (g_watcherThread) SetEvent(g_stopEvent);
    UnregisterDeviceWatch(m_hDevNotify);
    m_hDevNotify = nullptr;
    return Default();
}

LRESULT CTestDlg::OnTrayNotify(WPARAM wp, LPARAM lp) {
    if (LOWORD(lp) == WM_LBUTTONDBLCLK) {
        ShowWindow(SW_RESTORE);
    }
    m_tray.OnTrayMenu(wp, lp);
    return 1;
}

LRESULT CTestDlg::OnPing(WPARAM, LPARAM) { return 1; }

LRESULT CTestDlg::OnGetLanguage(WPARAM, LPARAM) { return m_english; }

void CTestDlg::OnAutoMode() {
    if (!g_idle) return;
    m_autoMode = 1;
    m_driveDialog = 0;
}

void CTestDlg::OnFileMode() {
    if (g_idle) {
        m_driveDialog = 0;
        m_autoMode = 0;
    }
    SetEvent(g_stopEvent);
}
