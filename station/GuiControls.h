#pragma once
// The main dialog's control classes. For now they are plain controls that keep the
// interface the dialog uses; owner drawing comes with their own classes.
#include <string>

#include "controls.h"

// Flat icon button with a tooltip.
class CGuiButton : public CButton {
public:
    ~CGuiButton() override;
    void SetStyleFlag(int style) { m_style = style; }
    BOOL SetIcons(int normalId, int hoverId, int pressedId, int cx, int cy);
    void SetLayoutFlag(int flag) { m_layout = flag; }
    void SetToolTip(const char* text);

protected:
    int m_style = 0;
    int m_layout = 0;
    HICON m_icons[3] = {nullptr, nullptr, nullptr};
    const char* m_tipText = nullptr;
    CToolTipCtrl m_toolTip;
};

class CGuiEdit : public CEdit {};
class CGuiGroupBox : public CButton {};
class CGuiRadioButton : public CButton {};
