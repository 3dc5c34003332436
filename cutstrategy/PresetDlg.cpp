#include "PresetDlg.h"

#include <algorithm>

#include "PresetDlgRes.h"
#include "aci_palette.h"
#include "fwstring.h"
#include "swatches.h"

namespace {
// Rows of the converter's list may be coloured from the ACI palette, the station's from its pen table.
std::optional<uint32_t> SwatchFor(PresetVariant variant, int32_t colour) {
    return variant == PresetVariant::Converter ? AciPaletteEntry(colour) : PenSwatch(colour);
}
}  // namespace

const CMessageMap* CPresetDlg::StaticMap() {
    // Both builds' control ids; a dialog has only its own, so the others never fire.
    static const CMessageMap map = MessageMapOf<CPresetDlg>(CDialog::StaticMap())
        .Command(IDCANCEL, &CPresetDlg::OnCancel)
        .Command(IDOK, &CPresetDlg::OnConfirmPresets)
        .Notify(NM_CLICK, IDC_PRESET_LIST, &CPresetDlg::OnListClick)
        .Notify(NM_CLICK, IDC_CPRESET_LIST, &CPresetDlg::OnListClick)
        .ControlNotify(CBN_KILLFOCUS, IDC_PRESET_EDITOR, &CPresetDlg::OnPresetEditDone)
        .ControlNotify(CBN_KILLFOCUS, IDC_CPRESET_EDITOR, &CPresetDlg::OnPresetEditDone)
        .Notify(NM_CUSTOMDRAW, IDC_PRESET_LIST, &CPresetDlg::OnListCustomDraw)
        .Notify(NM_CUSTOMDRAW, IDC_CPRESET_LIST, &CPresetDlg::OnListCustomDraw)
        .ControlNotify(CBN_CLOSEUP, IDC_PRESET_EDITOR, &CPresetDlg::EmptyHandler)
        .ControlNotify(CBN_CLOSEUP, IDC_CPRESET_EDITOR, &CPresetDlg::EmptyHandler)
        .Notify(LVN_ITEMCHANGED, IDC_PRESET_LIST, &CPresetDlg::OnListItemChanged)
        .Notify(LVN_ITEMCHANGED, IDC_CPRESET_LIST, &CPresetDlg::OnListItemChanged)
        .Command(IDC_PRESET_BYLAYER, &CPresetDlg::OnLayerMode)
        .Command(IDC_CPRESET_BYLAYER, &CPresetDlg::OnLayerMode)
        .Command(IDC_PRESET_BYCOLOUR, &CPresetDlg::OnColourMode)
        .Command(IDC_CPRESET_BYCOLOUR, &CPresetDlg::OnColourMode)
        .Notify(UDN_DELTAPOS, IDC_PRESET_MOVE, &CPresetDlg::OnMoveRow)
        .ControlNotify(CBN_SELCHANGE, IDC_PRESET_SORT, &CPresetDlg::OnSortChange)
        .ControlNotify(CBN_SELCHANGE, IDC_CPRESET_SORT, &CPresetDlg::OnSortChange)
        .Command(IDC_PRESET_NONE, &CPresetDlg::EmptyHandler)
        .Command(IDC_PRESET_USEMACHINE, &CPresetDlg::OnUseMachinePresets);
    return &map;
}

CPresetDlg::CPresetDlg(PresetVariant variant, CWnd* parent)
    : CDialog(variant == PresetVariant::Converter ? IDD_PRESET_CONVERTER : IDD_PRESET_STATION, parent),
      m_variant(variant) {
    if (variant == PresetVariant::Converter)
        m_ids = {IDC_CPRESET_LIST, IDC_CPRESET_EDITOR, IDC_CPRESET_BYLAYER, IDC_CPRESET_BYCOLOUR, IDC_CPRESET_SORT};
    else
        m_ids = {IDC_PRESET_LIST, IDC_PRESET_EDITOR, IDC_PRESET_BYLAYER, IDC_PRESET_BYCOLOUR, IDC_PRESET_SORT};
}

std::string CPresetDlg::PresetText(int preset) const {
    return FormatText(m_variant == PresetVariant::Converter ? "Preset#%d" : "预设参数#%d", preset);
}

void CPresetDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, m_ids.list, m_list);
    DDX_Control(pDX, m_ids.editor, m_presetEditor);
    DDX_Control(pDX, m_ids.sort, m_sortBox);
    if (m_variant == PresetVariant::Station) DDX_Check(pDX, IDC_PRESET_USEMACHINE, m_usePresets);
}

BOOL CPresetDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    const bool converter = m_variant == PresetVariant::Converter;
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    m_list.InsertColumn(0, converter ? "Color" : "颜色", LVCFMT_LEFT, 120);
    m_list.InsertColumn(1, converter ? "Machine Preset" : "机器预设参数", LVCFMT_LEFT, 180);
    m_sortBox.AddString(converter ? "No sort" : "不排序");
    m_sortBox.AddString(converter ? "Minimum travel distance" : "最少空走距离");
    m_sortBox.SetCurSel(m_sortMethod);
    if (m_mode) {
        CheckRadioButton(m_hWnd, m_ids.byLayer, m_ids.byColour, m_ids.byColour);
        FillColourRows();
    } else {
        CheckRadioButton(m_hWnd, m_ids.byLayer, m_ids.byColour, m_ids.byLayer);
        FillLayerRows();
    }
    for (int preset = 1; preset <= 8; ++preset) m_presetEditor.AddString(PresetText(preset));
    return TRUE;
}

void CPresetDlg::FillColourRows() {
    m_list.SetColumnTitle(0, m_variant == PresetVariant::Converter ? "Color" : "颜色");
    for (int i = 0; i < m_colourRows.GetSize(); ++i) {
        const SHARPCOLORS& row = m_colourRows[i];
        int item = m_list.InsertItem(i, " ");
        m_list.SetItemText(item, 1, UsesPresets() ? PresetText(row.preset) : "不使用");
        m_list.SetCheck(item, row.enabled != 0);
    }
}

void CPresetDlg::FillLayerRows() {
    m_list.SetColumnTitle(0, m_variant == PresetVariant::Converter ? "layer" : "图层");
    for (int i = 0; i < m_layerRows.GetSize(); ++i) {
        const LAYERS& row = m_layerRows[i];
        int item = m_list.InsertItem(i, row.name);
        m_list.SetItemText(item, 1, UsesPresets() ? PresetText(row.preset) : "不使用");
        m_list.SetCheck(item, row.enabled != 0);
    }
}

void CPresetDlg::Refill() {
    m_list.DeleteAllItems();
    if (m_mode) FillColourRows();
    else FillLayerRows();
}

void CPresetDlg::OnLayerMode() {
    m_mode = 0;
    Refill();
    UpdateData(TRUE);
}

void CPresetDlg::OnColourMode() {
    m_mode = 1;
    Refill();
    UpdateData(TRUE);
}

void CPresetDlg::OnUseMachinePresets() {
    UpdateData(TRUE);
    m_mode = 1;
    Refill();
}

void CPresetDlg::OnSortChange() { m_sortMethod = m_sortBox.GetCurSel(); }

void CPresetDlg::OnListClick(NMHDR* hdr, LRESULT* result) {
    *result = 0;
    if (!UsesPresets()) return;
    auto* click = reinterpret_cast<NMITEMACTIVATE*>(hdr);
    int column = 0;
    int row = m_list.SubItemHitTest(click->ptAction, &column);
    if (row < 0) return;
    m_editRow = row;
    m_editColumn = column;
    if (column != 1) return;
    UpdateData(TRUE);
    RECT cell;
    if (!m_list.GetSubItemRect(row, 1, cell)) return;
    std::string text = m_list.GetItemText(row, 1);
    // From list coordinates to the dialog's; the editor's height leaves room for its drop-down list.
    MapWindowPoints(m_list.m_hWnd, m_hWnd, reinterpret_cast<POINT*>(&cell), 2);
    SetWindowPos(m_presetEditor.m_hWnd, HWND_TOP, cell.left, cell.top, cell.right - cell.left,
                 cell.bottom - cell.top + 208, SWP_SHOWWINDOW);
    m_presetEditor.SetWindowText(text);
    ::SetFocus(m_presetEditor.m_hWnd);
}

void CPresetDlg::OnPresetEditDone() {
    m_presetEditor.ShowWindow(SW_HIDE);
    if (m_editRow < 0 || m_editRow >= RowCount()) return;
    m_list.SetItemText(m_editRow, m_editColumn, m_presetEditor.GetWindowText());
    // A text that names no preset 1 to 8 keeps the row's preset and its cell text.
    int preset = PresetFromCellText(m_list.GetItemText(m_editRow, m_editColumn));
    if (preset) PresetOf(m_editRow) = static_cast<uint8_t>(preset);
    else m_list.SetItemText(m_editRow, m_editColumn, PresetText(PresetOf(m_editRow)));
}

void CPresetDlg::OnMoveRow(NMHDR* hdr, LRESULT* result) {
    *result = 0;
    int row = m_list.GetFirstSelectedItem();
    if (row < 0 || row >= RowCount()) return;
    int target = reinterpret_cast<NMUPDOWN*>(hdr)->iDelta == 1 ? row + 1 : row - 1;
    if (target < 0 || target >= RowCount()) return;
    if (m_mode) m_colourRows.Swap(row, target);
    else m_layerRows.Swap(row, target);
    Refill();
    m_list.SetItemState(target, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void CPresetDlg::OnListCustomDraw(NMHDR* hdr, LRESULT* result) {
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(hdr);
    *result = 0;
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
    case CDDS_ITEMPREPAINT:
        *result = CDRF_NOTIFYSUBITEMDRAW;
        return;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        draw->clrText = m_list.GetTextColor();
        draw->clrTextBk = m_list.GetTextBkColor();
        int row = static_cast<int>(draw->nmcd.dwItemSpec);
        if (draw->iSubItem == 0 && m_mode && row >= 0 && row < m_colourRows.GetSize()) {
            // A colour the table does not hold keeps the list's own background.
            if (auto swatch = SwatchFor(m_variant, m_colourRows[row].colour)) draw->clrTextBk = *swatch;
        }
        if (draw->iSubItem == 1) draw->clrText = RGB(0, 0, 255);
        return;
    }
    default:
        return;
    }
}

void CPresetDlg::OnConfirmPresets() {
    UpdateData(TRUE);
    if (UsesPresets()) {
        int rows = std::min(RowCount(), m_list.GetItemCount());
        for (int i = 0; i < rows; ++i) {
            EnabledOf(i) = m_list.GetCheck(i) ? 1 : 0;
            if (int preset = PresetFromCellText(m_list.GetItemText(i, 1))) PresetOf(i) = static_cast<uint8_t>(preset);
        }
        UpdateData(TRUE);
    }
    EndDialog(IDOK);
}

void CPresetDlg::OnCancel() { EndDialog(IDCANCEL); }
