// Taking a PLT job in: from the drawing program's export (WM_PLT_EXPORTED) or from a
// file the user picks. The job's options and cut strategy are asked for, the confirmed
// choices stored, and the job converted in pen order and handed to the output step.
#include <windows.h>

#include <algorithm>
#include <new>

#include "PresetDlg.h"
#include "StationState.h"
#include "TestDlg.h"
#include "app.h"
#include "filedlg.h"
#include "fwstring.h"
#include "pen_regroup.h"
#include "pltfilecfg.h"
#include "profile_win32.h"
#include "resource.h"
#include "station_messages.h"

namespace {

// The one call into the core conversion. False when it gave up on the job; it has
// told the user why.
bool ConvertJobText(const CPenOrder& text, const ConvertJob& job, const ConvertSettings& settings,
                    const std::vector<SHARPCOLORS>& rows, bool english, std::string& stream) {
    CMessageBoxNotice notice;
    return ::ConvertPltToCutter(text, job, settings, rows, english, notice, stream) == ConvertResult::kConverted;
}

// Marks a job as open for as long as its handler runs; the tray greys Set meanwhile.
class CJobOpen {
public:
    explicit CJobOpen(CTestDlg& dlg) : dlg_(dlg) { Mark(true); }
    ~CJobOpen() { Mark(false); }
    CJobOpen(const CJobOpen&) = delete;
    CJobOpen& operator=(const CJobOpen&) = delete;

private:
    void Mark(bool open) {
        dlg_.m_jobOpen = open;
        dlg_.m_tray.SetTrayJobOpen(open ? 1 : 0);
    }
    CTestDlg& dlg_;
};

std::wstring Lower(std::wstring text) {
    if (!text.empty()) CharLowerBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

}  // namespace

bool CTestDlg::JobsRefused() const { return !g_idle || m_jobOpen || !m_settingsLoaded; }

std::string CTestDlg::ExportFilePath() const {
    if (m_settingsLoaded)
        return FormatText("%s\\%s", m_settings.exportFolder.c_str(), m_settings.exportFileName.c_str());
    // Before start-up has loaded the settings: where the macros export all the same.
    CIniProfile profile(StationSettingsPath(AfxGetApp()->ModulePath()));
    std::string name;
    if (!::ProfileValue(profile, 1, "AutoGET", "ColExportFilename", name)) name = " ";
    return FormatText("%s\\%s", TempFolder().c_str(), name.c_str());
}

bool CTestDlg::DeleteExportFile() {
    std::wstring path = Utf8ToWide(ExportFilePath());
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    CloseHandle(f);
    DeleteFileW(path.c_str());
    return true;
}

bool CTestDlg::TakeExportFile(DWORD shareMode, std::string& text) {
    std::wstring path = Utf8ToWide(ExportFilePath());
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, shareMode, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size = {};
    bool read = GetFileSizeEx(f, &size) && size.QuadPart < 0x7FFFFFFF;
    if (read) {
        // A file too large to hold in memory is left where it is, like a locked one.
        try {
            text.assign(static_cast<size_t>(size.QuadPart), '\0');
        } catch (const std::bad_alloc&) {
            read = false;
        }
    }
    DWORD got = 0;
    if (read && size.QuadPart > 0)
        read = ReadFile(f, &text[0], static_cast<DWORD>(size.QuadPart), &got, nullptr) && got == size.QuadPart;
    CloseHandle(f);
    if (!read) {
        text.clear();
        return false;
    }
    DeleteFileW(path.c_str());
    return true;
}

int CTestDlg::ConvertPltToCutter(const CPenOrder& text) {
    ConvertJob job;
    job.jobBox = m_jobBox;
    job.markDataPresent = m_markDataPresent != 0;
    job.markBox = m_markBox;
    job.referenceX = m_referenceX;
    job.referenceY = m_referenceY;
    job.leftOffset = m_leftOffset;
    job.topOffset = m_topOffset;
    job.markGridX = m_markGrid.x;
    job.markGridY = m_markGrid.y;
    job.markValue = m_markValue;
    job.copiesOn = m_copiesOn;
    job.copies = m_copyCount;
    job.copySpacing = m_copySpacing;
    job.segmentStart = m_startSegment;
    std::string stream;
    if (!ConvertJobText(text, job, ConvertSettingsOf(m_settings), m_colourRows, m_english != 0, stream)) return 0;
    return OutputConvertedJob(stream);
}

LRESULT CTestDlg::OnPltExported(WPARAM wp, LPARAM lp) {
    CWinApp* app = AfxGetApp();
    if (JobsRefused()) {
        if (DeleteExportFile()) m_tray.ShowTrayBalloon(app->LoadString(IDS_BUSY), true);
        return 0;
    }
    if (!m_linkUsable) {
        if (DeleteExportFile()) SendMessage(WM_PORT_ERROR, 0, 3);
        return 0;
    }
    m_markGrid = DecodeMarkGrid(static_cast<uint32_t>(wp));
    m_markValue = static_cast<int32_t>(lp);
    MarkCheck check = CheckMarkGrid(m_settings.cutImageMode != 0, m_markGrid);
    if (check != MarkCheck::kTaken) {
        if (DeleteExportFile()) m_tray.ShowTrayBalloon(MarkCheckText(check, m_english != 0), true);
        return 0;
    }

    // From here on the job's state is this job's own until the handler returns.
    CJobOpen open(*this);
    m_referenceX = m_referenceY = m_leftOffset = m_topOffset = 0;
    std::string text;
    if (!TakeExportFile(FILE_SHARE_READ, text)) return 0;

    PltBox box;
    if (!ScanPlt(text, box)) {
        m_tray.ShowTrayBalloon("data error!", true);
        return 0;
    }
    if (box.IsUntouched()) return 0;
    m_jobBox = box;

    ConvertJob references;
    references.jobBox = m_jobBox;
    references.markDataPresent = m_markDataPresent != 0;
    references.markBox = m_markBox;
    SetJobReferences(references);
    m_referenceX = references.referenceX;
    m_referenceY = references.referenceY;

    Cpltfilecfg options;
    options.m_english = m_english;
    options.m_left = 0.0f;
    options.m_top = 0.0f;
    options.m_width = static_cast<float>(m_jobBox.width / 40.0);
    options.m_height = static_cast<float>(m_jobBox.height / 40.0);
    options.m_copyCount = m_copyCount;
    options.m_copySpace = m_copySpacing;
    options.m_segStart = 1;
    m_startSegment = 1;
    options.m_segMode = m_settings.segEnble;
    options.m_markRows = m_markGrid.y;

    CPresetDlg pens;
    {
        std::vector<SHARPCOLORS> rows;
        uint8_t colourMode = 0;
        PenPresetTable table;
        std::copy(std::begin(m_settings.penPresets), std::end(m_settings.penPresets), table.begin());
        CMessageBoxNotice notice;
        ScanPens(text, rows, colourMode, table, m_english != 0, notice);
        for (const SHARPCOLORS& row : rows) pens.m_colourRows.Add(row);
        pens.m_mode = colourMode;
    }
    pens.m_usePresets = m_settings.usePresetPa;
    options.m_pPresetDlg = &pens;

    if (options.DoModal() != IDOK) {
        m_markDataPresent = 0;
        return 0;
    }

    m_saveToFile = options.m_saveToFile ? 1 : 0;
    m_copySpacing = options.m_copySpace;
    m_copiesOn = options.m_copiesOn != 0;
    m_copyCount = options.m_copyCount;
    m_startSegment = options.m_segStart;
    if (m_startSegment > 1) m_copiesOn = false;

    std::vector<SHARPCOLORS> rows;
    for (int i = 0; i < pens.m_colourRows.GetSize(); ++i) rows.push_back(pens.m_colourRows[i]);
    m_settings.usePresetPa = pens.m_usePresets ? 1 : 0;
    for (const SHARPCOLORS& row : rows)
        if (row.colour >= 1 && row.colour <= 8) m_settings.penPresets[row.colour - 1] = row.preset;
    {
        CIniProfile profile(m_settingsPath);
        WritePenPresets(profile, m_settings);
    }
    m_colourRows = rows;

    CMessageBoxNotice regroupNotice;
    const CPenOrder penOrder(text, rows, regroupNotice);
    if (!m_settings.cutImageMode) {
        m_leftOffset = MarginUnits(options.m_left);
        m_topOffset = MarginUnits(options.m_top);
    }
    int r = ConvertPltToCutter(penOrder);
    m_markDataPresent = 0;
    return r ? 1 : 0;
}

void CTestDlg::OnOpenPltFile() {
    CFileDialog pick(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                     "Plt Files (*.Plt)(CorelDraw)|*.Plt||", this);
    if (pick.DoModal() != IDOK) return;
    // The export folder ends with its separator.
    std::wstring source = Lower(Utf8ToWide(pick.GetPathName()));
    std::wstring target = Lower(Utf8ToWide(m_settings.exportFolder + m_settings.exportFileName));
    if (source != target && !CopyFileW(source.c_str(), target.c_str(), FALSE)) {
        MessageBox("Source file error!");
        return;
    }
    OnPltExported(MAKELONG(kNoMarkGrid, kNoMarkGrid), 0);
}
