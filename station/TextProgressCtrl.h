#pragma once
// The main dialog's progress bar: filled and empty part in colours of its own, with the
// percentage (or a caption) centred over it, each half of the text in its own colour.
// It paints through CMemDC, an off-screen copy of the paint context.
#include <windows.h>

#include <string>

#include "controls.h"
#include "gdi.h"

// Drawing goes to an off-screen bitmap of the target's clip box, copied to the target in
// one block transfer when the object goes; a printing target is drawn on directly.
class CMemDC : public CDC {
public:
    explicit CMemDC(CDC* target);
    virtual ~CMemDC();
    CMemDC(const CMemDC&) = delete;
    CMemDC& operator=(const CMemDC&) = delete;

private:
    HBITMAP m_bitmap = nullptr;
    HBITMAP m_oldBitmap = nullptr;
    CDC* m_target;
    RECT m_rect{};
    BOOL m_bMemDC;
};

class CTextProgressCtrl : public CProgressCtrl {
    FW_DECLARE_MESSAGE_MAP()
public:
    CTextProgressCtrl();
    ~CTextProgressCtrl() override = default;

    // Returns the previous position, or -1 without a window. Repaints only when the filled
    // part changes its width in pixels.
    int SetPos(int pos);
    int GetPos() const { return m_nPos; }
    void SetBarColour(COLORREF c) { m_colFore = c; }
    void SetBgColour(COLORREF c) { m_colBk = c; }
    void SetTextColour(COLORREF c) { m_colTextBack = c; }
    void SetTextOnBarColour(COLORREF c) { m_colTextFore = c; }

protected:
    LRESULT OnEraseBkgnd(WPARAM, LPARAM);
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnSize(WPARAM, LPARAM);
    LRESULT OnSetText(WPARAM, LPARAM);
    LRESULT OnGetText(WPARAM, LPARAM);

    int m_nPos = 0;
    int m_nMax = 100;
    int m_nMin = 0;
    std::string m_caption;
    int m_nBarWidth = -1;
    COLORREF m_colFore, m_colBk, m_colTextBack, m_colTextFore;
};
