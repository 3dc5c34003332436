#pragma once
// Single-document programs: the document (the data of one open file), its views (windows
// that show it) and the template that makes document, frame and view together.
#include <windows.h>
#include <commdlg.h>

#include <functional>
#include <string>
#include <vector>

#include "cmdui.h"
#include "gdi.h"
#include "wnd.h"

class CDocTemplate;
class CFrameWnd;
class CView;

// Framework command ids.
enum : UINT {
    ID_FILE_NEW = 57600, ID_FILE_OPEN = 57601, ID_FILE_CLOSE = 57602, ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604, ID_FILE_PRINT_SETUP = 57606, ID_FILE_PRINT = 57607,
    ID_FILE_PRINT_DIRECT = 57608, ID_FILE_PRINT_PREVIEW = 57609, ID_FILE_MRU_FILE1 = 57616,
    ID_FILE_MRU_FILE4 = 57619, ID_EDIT_COPY = 57634, ID_EDIT_CUT = 57635, ID_EDIT_PASTE = 57637,
    ID_EDIT_UNDO = 57643, ID_APP_ABOUT = 57664, ID_APP_EXIT = 57665, ID_NEXT_PANE = 57680,
    ID_PREV_PANE = 57681, AFX_IDW_TOOLBAR = 0xE800, AFX_IDW_REBAR = 0xE804, AFX_IDW_PANE_FIRST = 0xE900,
};
// Sent to the main window when the message queue runs empty: toolbars update their buttons.
constexpr UINT WM_IDLEUPDATECMDUI = 0x0363;

// The framework's own messages to the user.
extern const char* const kFailedToOpenDocument;  // "Failed to open document."
extern const char* const kFailedToSaveDocument;  // "Failed to save document."
extern const char* const kOutOfMemory;           // "Out of memory."

class CDocument : public CCmdTarget {
public:
    CDocument() = default;
    ~CDocument() override = default;

    // A new, untitled document.
    virtual BOOL OnNewDocument();
    // Opens the file for reading; reports a failure to the user and returns FALSE.
    virtual BOOL OnOpenDocument(const std::string& path);
    // Creates the file; reports a failure and returns FALSE.
    virtual BOOL OnSaveDocument(const std::string& path);
    // Destroys the frames that show the document, then the document itself.
    virtual void OnCloseDocument();
    virtual void DeleteContents() {}

    const std::string& GetPathName() const { return m_strPathName; }
    const std::string& GetTitle() const { return m_strTitle; }
    void SetPathName(const std::string& path, BOOL addToRecent = TRUE);
    void SetTitle(const std::string& title);
    // Repaints every view but sender.
    void UpdateAllViews(CView* sender, LPARAM hint = 0);
    CView* GetFirstView() const { return m_views.empty() ? nullptr : m_views.front(); }
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

    BOOL OnCmdMsg(UINT id, CCmdUI* ui) override;
    void OnFileSave();
    void OnFileSaveAs();
    // Saves under path, asking for a name first when path is empty.
    BOOL DoSave(const std::string& path);

    void AddView(CView* v);
    void RemoveView(CView* v);

    std::string m_strPathName, m_strTitle;
    CDocTemplate* m_pDocTemplate = nullptr;
    std::vector<CView*> m_views;
};

class CView : public CWnd, public CCmdTarget {
    FW_DECLARE_MESSAGE_MAP()
public:
    CView() = default;

    virtual BOOL Create(CFrameWnd* frame, UINT id);
    virtual void OnDraw(CDC* dc) = 0;
    virtual void OnInitialUpdate() { OnUpdate(nullptr, 0); }
    virtual void OnUpdate(CView* sender, LPARAM hint) { (void)sender; (void)hint; Invalidate(TRUE); }
    // Sets up the context before OnDraw; printing tells the view it draws on paper.
    virtual void OnPrepareDC(CDC* dc, bool printing) { (void)dc; (void)printing; }
    virtual BOOL OnPreparePrinting(PRINTDLGW& pd);
    virtual void OnBeginPrinting(CDC*) {}
    virtual void OnEndPrinting(CDC*) {}

    CDocument* GetDocument() const { return m_pDocument; }
    BOOL OnCmdMsg(UINT id, CCmdUI* ui) override;

    void OnFilePrint();
    void OnFilePrintDirect();
    void PostNcDestroy() override;

    CDocument* m_pDocument = nullptr;

protected:
    LRESULT OnPaint(WPARAM, LPARAM);
    // The common print dialog; null DC when the user cancels or there is no printer.
    BOOL DoPreparePrinting(PRINTDLGW& pd);
    void PrintWith(PRINTDLGW& pd);
    bool m_directPrint = false;
};

// A view larger than its window, with scroll bars over a total size in pixels.
class CScrollView : public CView {
    FW_DECLARE_MESSAGE_MAP()
public:
    // Page and line sizes of zero give a tenth of the total and a tenth of the page.
    void SetScrollSizes(int mapMode, SIZE total, SIZE page = SIZE{0, 0}, SIZE line = SIZE{0, 0});
    SIZE GetTotalSize() const { return m_total; }
    POINT GetScrollPosition() const { return m_pos; }
    void OnPrepareDC(CDC* dc, bool printing) override;

protected:
    LRESULT OnHScroll(WPARAM, LPARAM);
    LRESULT OnVScroll(WPARAM, LPARAM);
    LRESULT OnSize(WPARAM, LPARAM);
    LRESULT OnMouseWheel(WPARAM, LPARAM);
    void UpdateBars();
    void ScrollTo(int bar, int pos);
    int ScrollCode(int bar, WORD code);

    SIZE m_total{0, 0}, m_page{0, 0}, m_line{0, 0};
    POINT m_pos{0, 0};
    bool m_updatingBars = false;
};

// Makes a template's objects without a class registry: RUNTIME_CLASS(CMyDoc).
template <class T>
struct CRuntimeClassOf {};
#define RUNTIME_CLASS(T) CRuntimeClassOf<T>()

class CDocTemplate {
public:
    enum DocStringIndex { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };

    template <class D, class F, class V>
    CDocTemplate(UINT id, CRuntimeClassOf<D>, CRuntimeClassOf<F>, CRuntimeClassOf<V>)
        : m_nIDResource(id),
          m_newDoc([] { return static_cast<CDocument*>(new D); }),
          m_newFrame([] { return static_cast<CFrameWnd*>(new F); }),
          m_newView([] { return static_cast<CView*>(new V); }) {}
    virtual ~CDocTemplate() = default;

    // The part of string resource m_nIDResource at index (parts are separated by newlines).
    virtual BOOL GetDocString(std::string& out, DocStringIndex index) const;
    // Opens path into the document (null: a new document); the document, or null on failure.
    virtual CDocument* OpenDocumentFile(const char* path) = 0;
    virtual void RemoveDocument(CDocument* doc) = 0;
    virtual CDocument* GetOnlyDocument() const = 0;
    // "Name|*.ext|" for the file dialogs, from the filter name and extension.
    std::string FileFilter() const;
    // The filter extension as the file dialogs' default extension: "dxf" for ".dxf".
    std::string DefaultExtension() const;

    UINT m_nIDResource;
    std::function<CDocument*()> m_newDoc;
    std::function<CFrameWnd*()> m_newFrame;
    std::function<CView*()> m_newView;
};

// One document at a time, shown in the program's main frame.
class CSingleDocTemplate : public CDocTemplate {
public:
    using CDocTemplate::CDocTemplate;
    ~CSingleDocTemplate() override;
    CDocument* OpenDocumentFile(const char* path) override;
    void RemoveDocument(CDocument* doc) override;
    CDocument* GetOnlyDocument() const override { return m_pOnlyDoc; }

private:
    CDocument* m_pOnlyDoc = nullptr;
};

// The command line the framework's way: a file name opens that file, none makes a new document.
class CCommandLineInfo {
public:
    enum { FileNew, FileOpen } m_nShellCommand = FileNew;
    std::string m_strFileName;  // UTF-8
};
