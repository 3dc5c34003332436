// The settings command: runs the settings dialog over the station's settings and,
// on OK, takes the values back, relabels the station and writes the settings file.
#include "Cfgdlg.h"
#include "StationState.h"
#include "TestDlg.h"
#include "app.h"
#include "fwstring.h"
#include "profile_win32.h"
#include "resource.h"

bool CTestDlg::SettingsHeld() const { return !g_idle || m_jobOpen; }

void CTestDlg::OnSettings() {
    if (m_openSettings) {
        // A second request only brings the open dialog forward.
        ::SetWindowPos(m_openSettings->m_hWnd, HWND_TOPMOST, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        return;
    }
    // Held here too: a command posted before the hold began may arrive under it.
    if (SettingsHeld()) return;
    DCB line = {};
    line.DCBlength = sizeof(line);
    std::wstring definition = Utf8ToWide(FormatText("baud=%d parity=%c data=%d stop=%d", 38400, 'n', 8, 1));
    BuildCommDCBW(definition.c_str(), &line);

    CCfgdlg dlg(this, line);
    m_openSettings = &dlg;
    const StationSettings& s = m_settings;
    dlg.m_english = m_english;
    dlg.m_portText = "USB";
    dlg.m_closeOffset = s.closeOffset;
    dlg.m_sharpOffset = 0.6f;
    dlg.m_reducePoint = s.reducePoint;
    dlg.m_solidLineLen = s.solidLineLen;
    dlg.m_jumpLineLen = s.jumpLineLen;
    dlg.m_segLen = s.segLen;
    dlg.m_segEnble = s.segEnble;
    dlg.m_canFeedPaper = s.canFeedPaper;
    dlg.m_xSteps = s.xSteps;
    dlg.m_ySteps = s.ySteps;
    dlg.m_closeEnble = s.closeEnble;
    dlg.m_sharpEnble = s.sharpEnble;
    dlg.m_reducePointEnble = s.reducePointEnble;
    dlg.m_cutImageMode = s.cutImageMode;
    dlg.m_dashedMode = s.dashedMode;
    dlg.m_modelIndex = s.modelIndex;
    dlg.m_exportFolder = s.exportFolder;
    dlg.m_waitSecond = s.waitSecond;
    dlg.m_exportFileName = s.exportFileName;
    dlg.m_xDesignSize = s.xDesignSize;
    dlg.m_xTrueSize = s.xTrueSize;
    dlg.m_yDesignSize = s.yDesignSize;
    dlg.m_yTrueSize = s.yTrueSize;
    dlg.m_flagColor = s.flagColor;
    dlg.m_xSizeRedeem = s.xSizeRedeem;
    dlg.m_ySizeRedeem = s.ySizeRedeem;
    dlg.m_startSegment = m_startSegment;

    if (dlg.DoModal() == IDOK) {
        m_english = static_cast<uint8_t>(dlg.m_english ? 1 : 0);
        m_tray.SetEnglish(m_english);

        m_btnSettings.SetToolTip(m_english ? "Option" : "设置参数");
        m_btnExit.SetToolTip(m_english ? "Exit" : "关闭");
        m_btnOpenPlt.SetToolTip(m_english ? "Cutting from CorelDraw plt file" : "切割CORELDRAW导出的PLT文件");
        m_btnStop.SetToolTip(m_english ? "Cancel work" : "取消切割数据");

        if (g_idle) {
            LookForCutter();
        } else {
            // A job started sending while the dialog was open: the send holds the device,
            // and the status line goes on telling it, in the language just chosen.
            ShowSendingStatus();
        }

        StationSettings& t = m_settings;
        t.closeOffset = dlg.m_closeOffset;
        t.sharpOffset = dlg.m_sharpOffset;
        t.reducePoint = dlg.m_reducePoint;
        t.solidLineLen = dlg.m_solidLineLen;
        t.jumpLineLen = dlg.m_jumpLineLen;
        t.xSteps = dlg.m_xSteps;
        t.ySteps = dlg.m_ySteps;
        m_startSegment = dlg.m_startSegment;
        t.canFeedPaper = dlg.m_canFeedPaper ? 1 : 0;
        t.closeEnble = dlg.m_closeEnble ? 1 : 0;
        t.sharpEnble = dlg.m_sharpEnble ? 1 : 0;
        t.reducePointEnble = dlg.m_reducePointEnble ? 1 : 0;
        t.cutImageMode = dlg.m_cutImageMode ? 1 : 0;
        t.dashedMode = dlg.m_dashedMode ? 1 : 0;
        t.segLen = dlg.m_segLen;
        t.segEnble = dlg.m_segEnble ? 1 : 0;
        t.modelIndex = dlg.m_modelIndex;
        t.xDesignSize = dlg.m_xDesignSize;
        t.xTrueSize = dlg.m_xTrueSize;
        t.yDesignSize = dlg.m_yDesignSize;
        t.yTrueSize = dlg.m_yTrueSize;
        t.flagColor = static_cast<int8_t>(dlg.m_flagColor);
        t.exportFolder = dlg.m_exportFolder;
        t.exportFileName = dlg.m_exportFileName;
        t.waitSecond = dlg.m_waitSecond;
        g_watcherFolder = t.exportFolder;

        RestartFolderWatcher();

        CIniProfile profile(m_settingsPath);
        WriteSettingsOnOk(profile, t, m_english, dlg.m_portText);
        m_comPort.SetWindowText("COM:" + dlg.m_portText);
    }

    // The size ratios are written back after every run, changed or not.
    m_settings.xSizeRedeem = dlg.m_xSizeRedeem;
    m_settings.ySizeRedeem = dlg.m_ySizeRedeem;
    CIniProfile profile(m_settingsPath);
    WriteSizeRedeem(profile, m_settings);
    m_openSettings = nullptr;
}

void CTestDlg::RestartFolderWatcher() {
    if (!m_autoMode) return;
    // The start ends the running watcher and waits for it first.
    if (!StartFolderWatcher()) AfxMessageBox(AfxGetApp()->LoadString(IDS_WATCH_FAILED));
}
