#include "SetStrategy.h"

#include "PresetDlg.h"

INT_PTR RunCutStrategy(CutOrder& order) {
    CPresetDlg dlg(PresetVariant::Converter);
    for (const LAYERS& row : order.layers) dlg.m_layerRows.Add(row);
    for (const SHARPCOLORS& row : order.colours) dlg.m_colourRows.Add(row);
    dlg.m_mode = order.mode;
    dlg.m_sortMethod = order.sortMethod;
    INT_PTR result = dlg.DoModal();
    if (result == -1) return result;  // the dialog never ran: nothing changed
    // The dialog changes its arrays only as the user acts; enabled flags only on OK.
    order.layers.clear();
    for (int i = 0; i < dlg.m_layerRows.GetSize(); ++i) order.layers.push_back(dlg.m_layerRows[i]);
    order.colours.clear();
    for (int i = 0; i < dlg.m_colourRows.GetSize(); ++i) order.colours.push_back(dlg.m_colourRows[i]);
    order.mode = dlg.m_mode;
    order.sortMethod = dlg.m_sortMethod;
    return result;
}
