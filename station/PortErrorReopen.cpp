// Code 2 of WM_PORT_ERROR: the serial line's events failed. Asks whether to reopen
// the serial port and reports the outcome in the main dialog and the tray.
#include "SerialPort.h"
#include "StationState.h"
#include "TestDlg.h"
#include "app.h"
#include "fwstring.h"
#include "resource.h"

void CTestDlg::OnPortErrorReopen() {
    OnStopCutting();
    // The drawing program's sign window is looked for, but left alone.
    FindWindowW(L"#32770", L"Quorlinsign");

    CWinApp* app = AfxGetApp();
    int answer = MessageBox(app->LoadString(IDS_PORT_REOPEN_ASK), "Quorlinsign",
                            MB_YESNO | MB_ICONSTOP | MB_TOPMOST);
    if (answer == IDYES) {
        // A port object that never opened a port reopens the one the settings name.
        int port = g_serialPort.PortNumber() ? g_serialPort.PortNumber() : m_settings.currentCom;
        if (g_serialPort.OpenPort(m_hWnd, port, m_settings.baudRate, 'N', 8, 1, EV_CTS, 8)) {
            m_linkUsable = 1;
            g_serialPort.StartMonitor();
            DWORD modem = 0;
            GetCommModemStatus(g_serialPort.GetPortHandle(), &modem);
            if (modem & MS_CTS_ON) {
                m_ctsOnline = 1;
                m_linkState.SetWindowText(app->LoadString(IDS_LINK_ONLINE));
            } else {
                m_ctsOnline = 0;
                m_linkState.SetWindowText(app->LoadString(IDS_LINK_OFFLINE));
            }
            m_comPort.SetWindowText(FormatText("COM: COM%d", port));
            m_tray.ShowTrayBalloon(app->LoadString(IDS_PORT_REOPENED), false);
            m_status.SetWindowText(app->LoadString(IDS_READY));
            return;
        }
        MessageBox("COM error!", "Quorlin", MB_ICONEXCLAMATION);
    }
    m_status.SetWindowText(app->LoadString(IDS_PORT_OPEN_FAILED));
    m_comPort.SetWindowText("COM:error");
    m_linkUsable = 0;
}
