#include "Cfgdlg.h"

#include <shlobj.h>

#include "app.h"
#include "combobox.h"
#include "fwstring.h"
#include "resource.h"

namespace {
const char* const kModelsChinese[] = {"DREVIK 立式刻字机系列", "DREVIK 单张平板机系列", "DREVIK 卷料平板机系列"};
const char* const kModelsEnglish[] = {"DREVIK roll feeding cutting plotter series",
                                      "DREVIK sheet feeding cnc flatbed cutter series",
                                      "DREVIK auto feeding cnc flatbed cutter series"};
const int kModelBitmaps[] = {IDB_MODEL_ROLL, IDB_MODEL_SHEET, IDB_MODEL_AUTOFEED};

const char* const kBaudRates[] = {"57600", "38400", "19200", "14400", "9600"};
const char* const kParities[] = {"None", "Odd", "Even", "Mark", "Space"};
const char* const kDataBits[] = {"8", "7", "6"};
const char* const kStopBits[] = {"1", "1.5", "2"};

const struct {
    int id;
    const char* text;
} kEnglishTexts[] = {
    {IDC_CFG_MODELLABEL, "Model:"},        {IDC_CFG_PORTLABEL, "Port:"},
    {IDC_CFG_MARKLABEL, "Mark Color:"},    {IDC_CFG_SOLIDLABEL, "SolidLine:"},
    {IDC_CFG_JUMPLABEL, "JumpLine:"},      {IDC_CFG_LANGGROUP, "Language"},
    {IDC_CFG_PORTGROUP, "PortSet"},        {IDC_CFG_CUTGROUP, "Cutting Option"},
    {IDC_CFG_CONTOURGROUP, "Picture Cut Option"}, {IDC_CFG_DASHGROUP, "Dash Line Option"},
    {IDC_CFG_CONTOUR, "Cut Picture Mode"}, {IDC_CFG_CLOSEENABLE, "Close"},
    {IDC_CFG_DASHED, "Cut Dash Line Mode"}, {IDOK, "OK"},
    {IDC_CFG_CANCEL, "Cancel"},            {IDC_CFG_FEEDGROUP, "Paper feed"},
    {IDC_CFG_FEEDENABLE, "Auto feed"},     {IDC_CFG_FEEDLABEL, "Feed distance"},
    {IDC_CFG_SEGGROUP, "Segment"},         {IDC_CFG_SEGENABLE, "Segmented output"},
    {IDC_CFG_SEGLENLABEL, "Length of each segment"}, {IDC_CFG_STARTSEGLABEL, "Start seg. numbers"},
};
}  // namespace

const CMessageMap* CCfgdlg::StaticMap() {
    static const CMessageMap map = MessageMapOf<CCfgdlg>(CDialog::StaticMap())
        .Command(IDOK, &CCfgdlg::OnConfirmSettings)
        .Command(IDC_CFG_CANCEL, &CCfgdlg::OnCancel)
        .ControlNotify(CBN_SELCHANGE, IDC_CFG_MODEL, &CCfgdlg::OnSelchangeModel)
        .ControlNotify(CBN_SELCHANGE, IDC_CFG_LANGUAGE, &CCfgdlg::OnSelchangeLanguage)
        .Command(IDC_CFG_CONTOUR, &CCfgdlg::OnContourModeClicked)
        .Command(IDC_CFG_BROWSE, &CCfgdlg::OnBrowseExportFolder)
        .Command(IDC_CFG_MEASURE, &CCfgdlg::EmptyHandler)
        .ControlNotify(CBN_SELCHANGE, IDC_CFG_PORT, &CCfgdlg::EmptyHandler)
        .ControlNotify(EN_CHANGE, IDC_CFG_CLOSEOFFSET, &CCfgdlg::EmptyHandler)
        .ControlNotify(EN_CHANGE, IDC_CFG_YSTEPS, &CCfgdlg::EmptyHandler);
    return &map;
}

CCfgdlg::CCfgdlg(CWnd* parent, DCB line) : CDialog(IDD_SETTINGS, parent), m_line(line) {}

CCfgdlg::~CCfgdlg() {
    if (m_picture) DeleteObject(m_picture);
}

void CCfgdlg::BindLists() {
    CDataExchange bind(this, false);
    DDX_Control(&bind, IDC_CFG_MODEL, m_modelList);
    DDX_Control(&bind, IDC_CFG_PORT, m_portList);
    DDX_Control(&bind, IDC_CFG_MARKCOLOR, m_markColourList);
    DDX_Control(&bind, IDC_CFG_LANGUAGE, m_languageList);
    DDX_Control(&bind, IDC_CFG_BAUD, m_baudList);
    DDX_Control(&bind, IDC_CFG_PARITY, m_parityList);
    DDX_Control(&bind, IDC_CFG_DATABITS, m_dataBitsList);
    DDX_Control(&bind, IDC_CFG_STOPBITS, m_stopBitsList);
    DDX_Control(&bind, IDC_CFG_BUFFER, m_bufferList);
}

void CCfgdlg::DoDataExchange(CDataExchange* pDX) {
    DDX_CBIndex(pDX, IDC_CFG_MODEL, m_modelIndex);
    DDX_Text(pDX, IDC_CFG_PORT, m_portText);
    DDX_Check(pDX, IDC_CFG_CONTOUR, m_cutImageMode);
    DDX_Check(pDX, IDC_CFG_DASHED, m_dashedMode);
    DDX_Text(pDX, IDC_CFG_SOLIDLEN, m_solidLineLen);
    DDX_Text(pDX, IDC_CFG_JUMPLEN, m_jumpLineLen);
    DDX_Check(pDX, IDC_CFG_CLOSEENABLE, m_closeEnble);
    DDX_Text(pDX, IDC_CFG_CLOSEOFFSET, m_closeOffset);
    DDV_MinMaxFloat(pDX, m_closeOffset, 0.01f, 2.0f);
    DDX_Check(pDX, IDC_CFG_FEEDENABLE, m_canFeedPaper);
    DDX_Text(pDX, IDC_CFG_YSTEPS, m_ySteps);
    DDX_Check(pDX, IDC_CFG_SEGENABLE, m_segEnble);
    DDX_Text(pDX, IDC_CFG_SEGLEN, m_segLen);
    DDV_MinMaxInt(pDX, m_segLen, 100, 10000);

    DDX_CBStringExact(pDX, IDC_CFG_BAUD, m_baudText);
    DDX_CBStringExact(pDX, IDC_CFG_PARITY, m_parityText);
    DDX_CBStringExact(pDX, IDC_CFG_DATABITS, m_dataBitsText);
    DDX_CBStringExact(pDX, IDC_CFG_STOPBITS, m_stopBitsText);
    DDX_CBStringExact(pDX, IDC_CFG_BUFFER, m_bufferText);
    DDX_Text(pDX, IDC_CFG_EXPORTFOLDER, m_exportFolder);
    DDX_Text(pDX, IDC_CFG_EXPORTNAME, m_exportFileName);
    DDX_Text(pDX, IDC_CFG_WAITSECOND, m_waitSecond);
    DDV_MinMaxInt(pDX, m_waitSecond, 1, 5);
    DDX_Check(pDX, IDC_CFG_NEWPORT, m_newPort);
    DDX_Check(pDX, IDC_CFG_SHARPENABLE, m_sharpEnble);
    DDX_Text(pDX, IDC_CFG_SHARPOFFSET, m_sharpOffset);
    DDV_MinMaxFloat(pDX, m_sharpOffset, 0.01f, 1.0f);
    DDX_Check(pDX, IDC_CFG_REDUCEENABLE, m_reducePointEnble);
    DDX_Text(pDX, IDC_CFG_REDUCEPOINT, m_reducePoint);
    DDV_MinMaxFloat(pDX, m_reducePoint, 0.0f, 1.0f);
    DDX_Text(pDX, IDC_CFG_XDESIGN, m_xDesignSize);
    DDX_Text(pDX, IDC_CFG_XTRUE, m_xTrueSize);
    DDX_Text(pDX, IDC_CFG_YDESIGN, m_yDesignSize);
    DDX_Text(pDX, IDC_CFG_YTRUE, m_yTrueSize);
    DDX_Text(pDX, IDC_CFG_XSTEPS, m_xSteps);
    DDX_Text(pDX, IDC_CFG_STARTSEG, m_startSegment);
    DDV_MinMaxInt(pDX, m_startSegment, 1, 20);
}

BOOL CCfgdlg::OnInitDialog() {
    // The lists are filled before the values reach them.
    BindLists();
    if (m_english) {
        for (const auto& t : kEnglishTexts) SetDlgItemText(t.id, t.text);
        const char* const colours[] = {"None", "Blue", "Red"};
        m_markColourList.SetRows(colours);
    } else {
        const char* const colours[] = {"无", "蓝", "红"};
        m_markColourList.SetRows(colours);
    }
    if (m_modelIndex > 2) m_modelIndex = 2;
    ShowModelPicture();

    // The serial line texts that match the line definition.
    m_baudList.SetRows(kBaudRates);
    m_parityList.SetRows(kParities);
    m_dataBitsList.SetRows(kDataBits);
    m_stopBitsList.SetRows(kStopBits);
    const char* const buffers[] = {"8"};
    m_bufferList.SetRows(buffers);
    m_baudText = FormatText("%ld", static_cast<long>(m_line.BaudRate));
    m_parityText = m_line.Parity < 5 ? kParities[m_line.Parity] : "";
    m_stopBitsText = m_line.StopBits < 3 ? kStopBits[m_line.StopBits] : "";
    m_dataBitsText = FormatText("%d", static_cast<int>(m_line.ByteSize));
    m_bufferText = "8";
    m_portList.ResetContent();

    const char* const languages[] = {"中文", "English"};
    m_languageList.SetRows(languages);
    m_languageList.SetCurSel(m_english ? 1 : 0);

    if (m_english) m_modelList.SetRows(kModelsEnglish);
    else m_modelList.SetRows(kModelsChinese);
    m_markColourList.SetCurSel(m_flagColor);

    CDialog::OnInitDialog();  // values to the controls
    EnableSegmentLength();
    return TRUE;
}

void CCfgdlg::ShowModelPicture() {
    HBITMAP bitmap = nullptr;
    if (m_modelIndex >= 0 && m_modelIndex <= 2)
        bitmap = static_cast<HBITMAP>(LoadImageW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(kModelBitmaps[m_modelIndex]),
                                                 IMAGE_BITMAP, 0, 0, 0));
    ::SendDlgItemMessageW(m_hWnd, IDC_CFG_PICTURE, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    if (m_picture) DeleteObject(m_picture);
    m_picture = bitmap;
}

void CCfgdlg::EnableSegmentLength() { ::EnableWindow(GetDlgItem(IDC_CFG_SEGLEN), m_cutImageMode ? FALSE : TRUE); }

void CCfgdlg::OnSelchangeModel() {
    UpdateData(TRUE);
    if (m_modelIndex > 2) m_modelIndex = 2;
    ShowModelPicture();
}

void CCfgdlg::OnSelchangeLanguage() { m_english = m_languageList.GetCurSel() == 1 ? 1 : 0; }

void CCfgdlg::OnContourModeClicked() {
    UpdateData(TRUE);
    EnableSegmentLength();
}

void CCfgdlg::OnConfirmSettings() {
    if (!UpdateData(TRUE)) return;
    if (m_ySteps < 0) {
        AfxMessageBox("纵向进纸>0!");
        return;
    }
    OnOK();
}

void CCfgdlg::OnOK() {
    // The fields were taken over by the confirmation; the MARK colour comes from its list.
    m_flagColor = m_markColourList.GetCurSel();
    EndDialog(IDOK);
}

void CCfgdlg::OnCancel() { EndDialog(IDCANCEL); }

void CCfgdlg::OnBrowseExportFolder() {
    std::wstring title = Utf8ToWide(AfxGetApp()->LoadString(IDS_BROWSE_EXPORT));
    wchar_t display[MAX_PATH] = {0};
    BROWSEINFOW bi = {};
    bi.hwndOwner = m_hWnd;
    bi.pszDisplayName = display;
    bi.lpszTitle = title.c_str();
    bi.ulFlags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST list = SHBrowseForFolderW(&bi);
    if (!list) return;
    wchar_t path[MAX_PATH] = {0};
    if (SHGetPathFromIDListW(list, path)) {
        m_exportFolder = WideToUtf8(path);
        SetDlgItemText(IDC_CFG_EXPORTFOLDER, m_exportFolder);
    }
    CoTaskMemFree(list);
}
