#include "OrnavexDoc.h"

#include "SetStrategy.h"
#include "app.h"
#include "drawing_layout.h"
#include "dxf_import.h"
#include "entity_store.h"
#include "frame.h"
#include "resource.h"

BOOL COrnavexDoc::OnOpenDocument(const std::string& path) {
    if (!CDocument::OnOpenDocument(path)) return FALSE;
    // Kept whole: a path of any length opens (the reader takes it as it is).
    m_path = path;
    CMessageBoxNotice notice;
    DxfReadResult read = ReadDxfFile(m_path, notice);
    if (read != DxfReadResult::kRead) {
        // The import has emptied the store; the previous drawing's rows stay with it. The
        // drawing is gone, so the view shows nothing and the caption names no file.
        m_loaded = 0;
        CDocument::OnNewDocument();
        for (CView* v : m_views) v->OnInitialUpdate();  // repainted, scroll sizes of the empty box
        if (read == DxfReadResult::kOutOfMemory) AfxMessageBox(kOutOfMemory, MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    BuildCutRows(m_order);
    m_loaded = 1;
    return TRUE;
}

BOOL COrnavexDoc::OnSaveDocument(const std::string&) { return FALSE; }

void COrnavexDoc::OnCloseDocument() {
    if (m_loaded) ReleaseEntityStore();
    CDocument::OnCloseDocument();  // deletes this
}

BOOL COrnavexDoc::OnCmdMsg(UINT id, CCmdUI* ui) {
    static const CommandMap<COrnavexDoc> map = CommandMap<COrnavexDoc>()
        .On(ID_ZOOMIN, &COrnavexDoc::OnZoomIn)
        .On(ID_ZOOMOUT, &COrnavexDoc::OnZoomOut)
        .On(ID_SET, &COrnavexDoc::OnSet)
        .On(ID_OUTPUT, &COrnavexDoc::OnOutput);
    return map.Dispatch(*this, id, ui) || CDocument::OnCmdMsg(id, ui);
}

void COrnavexDoc::OnZoomIn() {
    if (!m_loaded) return;
    Stores().zoomFactor = ZoomedIn(Stores().zoomFactor);
    UpdateAllViews(nullptr);
}

void COrnavexDoc::OnZoomOut() {
    if (!m_loaded) return;
    Stores().zoomFactor = ZoomedOut(Stores().zoomFactor);
    UpdateAllViews(nullptr);
}

void COrnavexDoc::OnSet() {
    if (!m_loaded) return;
    RunCutStrategy(m_order);
    UpdateAllViews(nullptr);  // whatever the dialog returned
}
