#pragma once
// The main dialog's own controls: flat icon buttons, a flat edit, a group frame and
// radio buttons, all drawn in colours derived from the system colours at paint time.
#include <string>

#include "controls.h"

// Colours of the flat controls, read from the system colours at every call.
COLORREF GetButtonFace();
COLORREF GetButtonHighlight();
COLORREF GetButtonShadow();
COLORREF GetHighlightTint();  // highlight + 10 per component, wrapping in 8 bits
COLORREF GetFaceTint();       // face lightened: 3/4 of each component + 61

// Flat owner-drawn icon button with a tooltip; raised while hovered, sunken while pressed.
class CGuiButton : public CButton {
    FW_DECLARE_MESSAGE_MAP()
public:
    ~CGuiButton() override;
    void SetStyleFlag(int style) { m_style = style; }
    BOOL SetIcons(int normalId, int hoverId, int pressedId, int cx, int cy);
    void SetLayoutFlag(int flag) { m_layout = flag; }
    // The text is not copied: the caller keeps it alive.
    void SetToolTip(const char* text);
    void PreSubclassWindow() override;
    void DrawItem(DRAWITEMSTRUCT* dis) override;

protected:
    CToolTipCtrl m_toolTip;
    int m_style = 1;
    int m_hover = 0;
    HICON m_icons[3] = {nullptr, nullptr, nullptr};  // normal, hover, pressed
    const char* m_tipText = "";
    int m_layout = 0;
    COLORREF m_buttonColour = GetButtonFace();

    LRESULT OnCreate(WPARAM, LPARAM);
    LRESULT OnEraseBkgnd(WPARAM, LPARAM);
    LRESULT OnMouseMove(WPARAM, LPARAM);
    LRESULT OnLButtonUp(WPARAM, LPARAM);
    LRESULT OnLButtonDown(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM, LPARAM);
    LRESULT OnSysColorChange(WPARAM, LPARAM);
    void RepaintNow();
};

// Edit box with a flat border in the face colour and a thin tinted line.
class CGuiEdit : public CEdit {
    FW_DECLARE_MESSAGE_MAP()
public:
    void PreSubclassWindow() override {}

protected:
    LRESULT OnCreate(WPARAM, LPARAM);
    LRESULT OnNcPaint(WPARAM, LPARAM);
    LRESULT OnSetFocus(WPARAM, LPARAM);
};

// Group frame with cut corners and a small Verdana caption fixed at attachment.
class CGuiGroupBox : public CButton {
    FW_DECLARE_MESSAGE_MAP()
public:
    void PreSubclassWindow() override;
    const std::string& Caption() const { return m_caption; }

protected:
    int m_captionPosition = 0;
    COLORREF m_background = GetButtonFace();
    std::string m_caption;

    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnSysColorChange(WPARAM, LPARAM);
};

// Owner-drawn radio button that keeps its own selected state; selecting one clears
// the other radios of its dialog group.
class CGuiRadioButton : public CButton {
    FW_DECLARE_MESSAGE_MAP()
public:
    void SetSelected(int selected) { m_selected = selected; }
    int IsSelected() const { return m_selected; }
    void PreSubclassWindow() override;
    void DrawItem(DRAWITEMSTRUCT* dis) override;

protected:
    int m_hover = 0;
    int m_selected = 0;
    RECT m_circle = {0, 0, 0, 0};

    LRESULT OnEraseBkgnd(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM, LPARAM);
    LRESULT OnMouseMove(WPARAM, LPARAM);
    LRESULT OnLButtonUp(WPARAM, LPARAM);
    LRESULT OnCreate(WPARAM, LPARAM);
    void ClearGroup();
};
