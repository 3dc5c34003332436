#pragma once
// The one open DXF drawing: its cut strategy rows, zoom, Set and Output.
#include <cstdint>
#include <string>

#include "Cut.h"
#include "docview.h"
#include "plt_writer.h"

class COrnavexDoc : public CDocument {
public:
    BOOL OnNewDocument() override { return CDocument::OnNewDocument(); }
    BOOL OnOpenDocument(const std::string& path) override;
    // The converter never writes its document: Save and Save As end here.
    BOOL OnSaveDocument(const std::string& path) override;
    void OnCloseDocument() override;
    BOOL OnCmdMsg(UINT id, CCmdUI* ui) override;

    void OnZoomIn();
    void OnZoomOut();
    void OnSet();
    void OnOutput();  // Output.cpp

    std::string m_path;         // the open drawing, as handed to the reader
    uint8_t m_loaded = 0;       // a drawing is open and its rows are built
    CutOrder m_order;           // the cut strategy: rows, mode, sort method
    CCut m_cut;                 // the output dialog
};
