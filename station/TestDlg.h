#pragma once
// The station's main dialog: holds the station's state for the program's life and
// receives every station window message.
#include <windows.h>
#include <dbt.h>

#include <cstdint>
#include <string>
#include <vector>

#include "GuiControls.h"
#include "SystemTray.h"
#include "TextProgressCtrl.h"
#include "dialog.h"
#include "job_intake.h"
#include "plt_reader.h"
#include "settings.h"

class CCfgdlg;
class CPenOrder;

// What the checks before a send found, in the order they are made.
enum class CutterCheck { kNoDevice, kNoAnswer, kNotReady, kNotOpened, kOpened };

class CTestDlg : public CDialog {
    FW_DECLARE_MESSAGE_MAP()
public:
    explicit CTestDlg(CWnd* parent = nullptr);
    ~CTestDlg() override;

    uint8_t m_english = 1;
    HICON m_hIcon = nullptr;

    // Controls of the dialog.
    CGuiButton m_btnOpenPlt, m_btnSettings, m_btnStop, m_btnExit, m_btnLogo;
    CTextProgressCtrl m_progress;
    CEdit m_banner, m_comPort, m_status;
    CGuiEdit m_linkState;
    CGuiRadioButton m_radioAuto, m_radioFile;
    CGuiGroupBox m_modeGroup;
    CSystemTray m_tray;

    // Settings and the file they live in.
    std::string m_settingsPath;
    StationSettings m_settings;
    bool ProfileValue(uint8_t mode, const char* section, const char* key, std::string& text);

    uint8_t m_autoMode = 1;
    uint8_t m_driveDialog = 0;
    int32_t m_ctsOnline = 0;
    COLORREF m_dialogBackground = 0;
    HBRUSH m_statusBrush = nullptr;
    uint8_t m_markDataPresent = 0;
    uint8_t m_linkUsable = 0;

    // The cutter on USB (UsbLink.cpp).
    std::string m_devicePath;
    HANDLE m_hDevice = nullptr;   // 0 when no device is open
    OVERLAPPED m_overlapped{};    // shared by the chunk writes and the status query
    HDEVNOTIFY m_hDevNotify = nullptr;
    uint16_t m_deviceStatus[2] = {0, 0};
    uint8_t m_deviceReady = 0;
    BOOL FindCutterDevice();
    HANDLE OpenCutterDevice();
    bool QueryDeviceStatus();
    // Queries the cutter and, when it is ready, opens it for a send; tells nothing.
    CutterCheck CheckCutterForSend();
    // Tells the user why a stream cannot go to the cutter.
    void TellCutterCheck(CutterCheck check);
    // Looks for the cutter and, when found, queries its status; the status line and the
    // banner say which (start-up and the settings command).
    void LookForCutter();
    BOOL RegisterDeviceWatch(const GUID& interfaceClass, HWND recipient, HDEVNOTIFY* handle);
    BOOL UnregisterDeviceWatch(HDEVNOTIFY handle);

    // The stream being sent (Sending.cpp). The buffer is the dialog's from the start of a
    // send until its end.
    char* m_sendBuffer = nullptr;
    int32_t m_startSegment = 1;  // first segment number of segmented output

    // The settings dialog while it is open (one at a time).
    CCfgdlg* m_openSettings = nullptr;
    // The settings command is held while sending and while a job's dialogs are open:
    // settings changed under a job would change the job.
    bool SettingsHeld() const;
    // Ends the folder watcher and, in Auto mode, starts a new one.
    void RestartFolderWatcher();
    // Starts the folder watcher thread once the previous one has ended; false when it
    // could not be started.
    bool StartFolderWatcher();
    // Signals the stop event and waits until the watcher has ended; false when it
    // is still running after the wait.
    bool StopFolderWatcher();

    // Link errors: code 2 offers to reopen the serial port.
    void OnPortErrorReopen();
    int m_totalLength = 0;
    int m_sentCount = 0;
    char* m_cursor = nullptr;
    int m_expectedCount = 0;
    BOOL WriteChunk(const void* bytes, int count);
    int PollWrite();
    // Starts sending buffer (allocated with new[], owned by the dialog from here on) on the
    // device handle that the caller has opened.
    void BeginSend(char* buffer, int length);
    void ShowSendingStatus();

    // Job options the job intake sets before it converts a job; the output step reads them.
    uint8_t m_saveToFile = 0;  // save the stream as a .plt file instead of sending it
    int32_t m_markValue = 0;   // the barcode number of a contour job
    bool m_copiesOn = false;   // cleared when a send ends
    // The output step of a converted job (JobOutput.cpp): saves the stream or, after the
    // status checks, starts sending it. Returns 0 when no cutter answered, else 1.
    int OutputConvertedJob(const std::string& stream);

    // The job under way and what the next one starts from (JobIntake.cpp).
    PltBox m_jobBox;              // extent of the job's points
    PltBox m_markBox;             // extent of the last good mark data (Bridge.cpp)
    MarkGrid m_markGrid;          // from the job message's wParam
    int32_t m_referenceX = 0;     // Xleft
    int32_t m_referenceY = 0;     // Ytop
    int32_t m_leftOffset = 0;     // the options' left margin in plotter units
    int32_t m_topOffset = 0;      // the options' top margin in plotter units
    int32_t m_copyCount = 0;      // last confirmed copies
    int32_t m_copySpacing = 0;    // mm
    std::vector<SHARPCOLORS> m_colourRows;  // the last confirmed cut strategy
    // Set while a job is between its reading and its output step: its dialogs run
    // modal loops in which further job messages arrive.
    bool m_jobOpen = false;
    bool m_settingsLoaded = false;  // start-up has loaded the settings
    // New jobs are refused while sending, while a job is open and before start-up has
    // loaded the settings.
    bool JobsRefused() const;
    std::string ExportFilePath() const;
    // Opens the export file exclusively and, when that works, deletes it.
    bool DeleteExportFile();
    // Reads the export file whole and deletes it; false when it cannot be opened or read.
    bool TakeExportFile(DWORD shareMode, std::string& text);
    // Converts the job's text with the stored settings and hands the stream to the
    // output step: 0 when no cutter answered or the conversion gave up, else 1.
    int ConvertPltToCutter(const CPenOrder& text);
    LRESULT OnPltExported(WPARAM wp, LPARAM lp);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnAbout();
    void OnStopCutting();
    void OnSettings();
    void OnOpenPltFile();
    void OnAutoMode();
    void OnFileMode();
    void EmptyHandler() {}

    LRESULT OnSysCommand(WPARAM, LPARAM);
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnQueryDragIcon(WPARAM, LPARAM);
    LRESULT OnCtlColor(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM, LPARAM);
    LRESULT OnDeviceChange(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);
    LRESULT OnClose(WPARAM, LPARAM);
    LRESULT OnTrayNotify(WPARAM, LPARAM);
    LRESULT OnPing(WPARAM, LPARAM);
    LRESULT OnGetLanguage(WPARAM, LPARAM);
    LRESULT OnSendProgress(WPARAM, LPARAM count);
    LRESULT OnSendJobFile(WPARAM, LPARAM);
    LRESULT OnCutterUnavailable(WPARAM check, LPARAM);
    LRESULT OnPortError(WPARAM, LPARAM code);
    // The drawing program's bridge (Bridge.cpp).
    LRESULT OnOpenSettingsRequest(WPARAM, LPARAM);
    LRESULT OnGetBarcodeNumber(WPARAM, LPARAM);
    LRESULT OnMarkDataReady(WPARAM, LPARAM);
    LRESULT OnDriveExportDialog(WPARAM, LPARAM);

private:
    LRESULT EndSend();
    // Cancels a write under way and closes the device handle.
    void AbandonDevice();
    void PrepareOverlapped();
    // The status query without its box; noAnswer tells a device that was opened but gave no reply.
    bool AskDeviceStatus(bool& noAnswer);
    void LoadSettings();
    void SetStatusText(const char* english, const std::string& chinese);
    void FillExportDialog(HWND exportDialog);
};
