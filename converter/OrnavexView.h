#pragma once
// The scroll view that shows the drawing, Y upward, each entity in its AutoCAD colour.
#include <cstdint>

#include "docview.h"

class COrnavexDoc;
struct CConverterStores;
struct CutOrder;

class COrnavexView : public CScrollView {
public:
    void OnInitialUpdate() override;
    void OnDraw(CDC* dc) override;
    COrnavexDoc* GetDocument() const;

private:
    void SetSizes();
};

// Draws the document's drawing into dc (a screen or a printer).
void DrawDocument(COrnavexDoc* doc, CDC* dc);

// Draws the stores' drawing into dc in the box for a window boxWidth pixels wide, leaving out
// what order hides, and keeps that box and its scale in the stores.
void DrawDrawing(HDC dc, int32_t boxWidth, CConverterStores& stores, const CutOrder& order);
