#include "GuiControls.h"

#include "app.h"

CGuiButton::~CGuiButton() {
    for (HICON& icon : m_icons)
        if (icon) DestroyIcon(icon);
    if (m_toolTip.m_hWnd) DestroyWindow(m_toolTip.Detach());
}

BOOL CGuiButton::SetIcons(int normalId, int hoverId, int pressedId, int cx, int cy) {
    auto load = [&](int id, UINT extra) {
        return static_cast<HICON>(LoadImageW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(id), IMAGE_ICON, cx, cy,
                                             LR_LOADMAP3DCOLORS | extra));
    };
    auto replace = [](HICON& slot, HICON icon) {
        if (slot) DestroyIcon(slot);
        slot = icon;
    };
    BOOL result = FALSE;
    if (normalId != -1) {
        replace(m_icons[0], load(normalId, 0));
        result = TRUE;
    }
    int normal = normalId;
    auto fallback = [&](int id, HICON& slot, UINT extraWhenMissing) {
        if (id != -1) {
            HICON icon = load(id, 0);
            if (!icon && m_icons[0] && normal != -1) icon = load(normal, 0);
            replace(slot, icon);
        } else if (m_icons[0] && normal != -1) {
            replace(slot, load(normal, extraWhenMissing));
        }
    };
    fallback(hoverId, m_icons[1], 0);
    fallback(pressedId, m_icons[2], LR_LOADTRANSPARENT);
    if (m_hWnd && m_icons[0]) SetIcon(m_icons[0]);
    return result;
}

void CGuiButton::SetToolTip(const char* text) {
    m_tipText = text;
    if (!m_hWnd) return;
    if (!m_toolTip.m_hWnd) {
        m_toolTip.Create(this, TTS_ALWAYSTIP);
        if (text) m_toolTip.Activate(TRUE);
        m_toolTip.AddTool(this, text ? text : "");
    } else {
        m_toolTip.SetToolText(this, text ? text : "");
    }
    if (!text) m_toolTip.Activate(FALSE);
}
