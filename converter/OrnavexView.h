#pragma once
// The scroll view that shows the drawing, Y upward, each entity in its AutoCAD colour.
#include "docview.h"

class COrnavexDoc;

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
