#pragma once
// The cut strategy dialog: the rows by layer or by colour in cut order, each with its
// check box and machine preset, edited in the list's cells and moved up and down.
// One class for both programs:
//   Kelmirt: CPresetDlg dlg;                              (dialog 211, Chinese texts,
//            the "use cutter presets" check box, pen colours, colour rows only)
//   Ornavex: CPresetDlg dlg(PresetVariant::Converter);    (dialog 131, English texts,
//            mode radios and sort box shown, ACI palette colours; the program's .rc
//            must include PresetDlg131.rc)
// The owner fills m_colourRows / m_layerRows and sets m_mode (and, in Kelmirt,
// m_usePresets), runs DoModal, then reads the arrays, m_mode, m_sortMethod and
// m_usePresets. Row moves and in-cell presets change the arrays as they happen;
// the enabled flags are taken over by OK only.
#include <cstdint>
#include <string>

#include "commctrls.h"
#include "dialog.h"
#include "fwarray.h"
#include "preset_cell.h"
#include "records.h"

enum class PresetVariant { Station, Converter };

class CPresetDlg : public CDialog {
    FW_DECLARE_MESSAGE_MAP()
public:
    explicit CPresetDlg(PresetVariant variant = PresetVariant::Station, CWnd* parent = nullptr);

    CListCtrl m_list;
    CComboBox m_presetEditor;
    int32_t m_editColumn = 0, m_editRow = 0;
    CArray<LAYERS> m_layerRows;
    CArray<SHARPCOLORS> m_colourRows;
    uint8_t m_mode = 0;          // 0 rows by layer, otherwise rows by colour
    CComboBox m_sortBox;
    int32_t m_sortMethod = 0;    // 0 no sort, 1 minimum travel distance
    int32_t m_usePresets = 0;    // Kelmirt's check box; the converter always uses presets

    PresetVariant Variant() const { return m_variant; }
    // The cell text of a preset.
    std::string PresetText(int preset) const;

    void FillColourRows();
    void FillLayerRows();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;

    void OnConfirmPresets();
    void OnListClick(NMHDR* hdr, LRESULT* result);
    void OnPresetEditDone();
    void OnListCustomDraw(NMHDR* hdr, LRESULT* result);
    void OnListItemChanged(NMHDR*, LRESULT* result) { *result = 0; }
    void OnLayerMode();
    void OnColourMode();
    void OnMoveRow(NMHDR* hdr, LRESULT* result);
    void OnSortChange();
    void OnUseMachinePresets();
    void EmptyHandler() {}

private:
    struct Ids { int list, editor, byLayer, byColour, sort; };
    PresetVariant m_variant;
    Ids m_ids;
    bool UsesPresets() const { return m_variant == PresetVariant::Converter || m_usePresets != 0; }
    int RowCount() const { return m_mode ? m_colourRows.GetSize() : m_layerRows.GetSize(); }
    uint8_t& PresetOf(int row) { return m_mode ? m_colourRows[row].preset : m_layerRows[row].preset; }
    uint8_t& EnabledOf(int row) { return m_mode ? m_colourRows[row].enabled : m_layerRows[row].enabled; }
    void Refill();
};

