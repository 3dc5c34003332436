#include "OrnavexView.h"

#include <cmath>
#include <vector>

#include "OrnavexDoc.h"
#include "app.h"
#include "aci_palette.h"
#include "drawing_layout.h"
#include "entity_store.h"

namespace {

// Client width of the window that owns dc, as it is without a vertical scroll bar: the bar
// comes and goes with the scroll sizes that follow the box, and a box that followed the bar
// would make it come and go for ever. A printer has no window and gives its page width.
int32_t BoxWidth(HDC dc) {
    if (HWND w = WindowFromDC(dc)) {
        RECT rc;
        GetClientRect(w, &rc);
        int32_t width = rc.right - rc.left;
        if (GetWindowLongW(w, GWL_STYLE) & WS_VSCROLL) width += GetSystemMetrics(SM_CXVSCROLL);
        return width;
    }
    return GetDeviceCaps(dc, HORZRES);
}

void DrawRecord(HDC dc, const SHARP& s, const DrawingMap& m, int32_t arcDirection) {
    COLORREF colour = AciPaletteColour(s.attributes.getColor());
    HPEN markerPen = CreatePen(PS_DOT, 2, colour);
    HPEN shapePen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ before = SelectObject(dc, markerPen);
    if (s.type != kShapePolyline || s.VertexCount() >= 2) {
        int x = m.X(s.startX), y = m.Y(s.startY);
        Rectangle(dc, x - 1, y - 1, x + 1, y + 1);
        x = m.X(s.endX);
        y = m.Y(s.endY);
        Rectangle(dc, x - 1, y - 1, x + 1, y + 1);
    }
    SelectObject(dc, shapePen);
    if (const auto* v = s.Vertices()) {
        std::vector<ScaledPoint> arc;
        std::vector<POINT> pixels;
        for (size_t i = 0; i < v->size(); ++i) {
            const DL_VertexData& p = (*v)[i];
            int x = m.RoundX(p.x), y = m.RoundY(p.y);
            if (i == 0) MoveToEx(dc, x, y, nullptr);
            else LineTo(dc, x, y);
            if (p.bulge == 0 || i + 1 >= v->size()) continue;
            const DL_VertexData& q = (*v)[i + 1];
            const double x1 = m.ScaledX(p.x), y1 = m.ScaledY(p.y), x2 = m.ScaledX(q.x), y2 = m.ScaledY(q.y);
            // Too short or too flat for an arc: the line to the next vertex draws it.
            if (!ShowsAsArc(x1, y1, x2, y2, p.bulge)) continue;
            arc.clear();
            if (!BulgeArcPoints(x1, y1, x2, y2, p.bulge, arc)) continue;
            pixels.clear();
            // Placed as the vertices are: the last point is the next vertex's pixel.
            for (const ScaledPoint& a : arc) pixels.push_back(POINT{m.PlacedX(a.x), m.PlacedY(a.y)});
            PolylineTo(dc, pixels.data(), static_cast<DWORD>(pixels.size()));
        }
    } else if (const auto* l = s.Line()) {
        MoveToEx(dc, m.X(l->x1), m.Y(l->y1), nullptr);
        LineTo(dc, m.X(l->x2), m.Y(l->y2));
    } else if (const auto* c = s.Circle()) {
        Ellipse(dc, m.X(c->cx - c->radius), m.Y(c->cy - c->radius), m.X(c->cx + c->radius), m.Y(c->cy + c->radius));
    } else if (const auto* a = s.Arc()) {
        int32_t x1, y1, x2, y2;
        double first = arcDirection == 0 ? a->angle1 : a->angle2;
        double second = arcDirection == 0 ? a->angle2 : a->angle1;
        m.ArcPoint(a->cx, a->cy, a->radius, first, x1, y1);
        m.ArcPoint(a->cx, a->cy, a->radius, second, x2, y2);
        SetArcDirection(dc, AD_COUNTERCLOCKWISE);
        Arc(dc, m.X(a->cx - a->radius), m.Y(a->cy - a->radius), m.X(a->cx + a->radius), m.Y(a->cy + a->radius), x1, y1,
            x2, y2);
    }
    SelectObject(dc, before);
    DeleteObject(markerPen);
    DeleteObject(shapePen);
}

}  // namespace

void DrawDocument(COrnavexDoc* doc, CDC* cdc) {
    if (!doc || !cdc || !cdc->m_hDC) return;
    DrawDrawing(cdc->m_hDC, BoxWidth(cdc->m_hDC), Stores(), doc->m_order);
}

void DrawDrawing(HDC dc, int32_t boxWidth, CConverterStores& st, const CutOrder& order) {
    DrawBox box = ComputeDrawBox(boxWidth, st.zoomFactor, st.extMinX, st.extMinY, st.extMaxX, st.extMaxY);
    st.drawBox[0] = box.left;
    st.drawBox[1] = box.top;
    st.drawBox[2] = box.right;
    st.drawBox[3] = box.bottom;
    st.scale = box.scale;
    DrawingMap m(box, st.extMinX, st.extMinY);

    HPEN framePen = CreatePen(PS_SOLID, 1, RGB(0xC0, 0xC0, 0xC0));
    HGDIOBJ oldPen = SelectObject(dc, framePen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(LTGRAY_BRUSH));
    Rectangle(dc, box.left - 10, box.top - 10, box.right + 10, box.bottom + 10);
    HPEN sheetPen = CreatePen(PS_DASH, 1, RGB(0xFF, 0xFF, 0xFF));
    SelectObject(dc, sheetPen);
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    Rectangle(dc, box.left - 2, box.top - 2, m.SheetRight() + 2, m.SheetBottom() + 2);
    SelectObject(dc, GetStockObject(NULL_BRUSH));

    for (const SHARP& s : st.entities)
        if (IsRecordShown(s, order)) DrawRecord(dc, s, m, st.arcDirection);

    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(framePen);
    DeleteObject(sheetPen);
}

COrnavexDoc* COrnavexView::GetDocument() const { return static_cast<COrnavexDoc*>(m_pDocument); }

void COrnavexView::SetSizes() {
    const int32_t* b = Stores().drawBox;
    DrawBox box;
    box.left = b[0];
    box.top = b[1];
    box.right = b[2];
    box.bottom = b[3];
    ScrollSize s = ScrollSizeOf(box);
    SetScrollSizes(MM_TEXT, SIZE{s.cx, s.cy});
}

void COrnavexView::OnInitialUpdate() {
    CScrollView::OnInitialUpdate();
    SetSizes();
}

void COrnavexView::OnDraw(CDC* dc) {
    COrnavexDoc* doc = GetDocument();
    if (!doc || !doc->m_loaded) return;
    DrawDocument(doc, dc);
    if (WindowFromDC(dc->m_hDC)) SetSizes();  // not for the printed page
}
