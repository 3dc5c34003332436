#include "docview.h"

#include <algorithm>

#include "app.h"
#include "filedlg.h"
#include "frame.h"
#include "fwstring.h"
#include "wndcreate.h"

const char* const kFailedToOpenDocument = "Failed to open document.";
const char* const kFailedToSaveDocument = "Failed to save document.";
const char* const kOutOfMemory = "Out of memory.";

namespace {
const char kUntitled[] = "Untitled";

std::string FileNameOf(const std::string& path) {
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
}  // namespace

// --- document --------------------------------------------------------------

BOOL CDocument::OnNewDocument() {
    DeleteContents();
    m_strPathName.clear();
    SetTitle(kUntitled);
    return TRUE;
}

BOOL CDocument::OnOpenDocument(const std::string& path) {
    HANDLE f = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
        AfxMessageBox(kFailedToOpenDocument, MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    CloseHandle(f);
    DeleteContents();
    return TRUE;
}

BOOL CDocument::OnSaveDocument(const std::string& path) {
    HANDLE f = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
        AfxMessageBox(kFailedToSaveDocument, MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    CloseHandle(f);
    return TRUE;
}

void CDocument::OnCloseDocument() {
    // The frames go first; their views leave the list as they are destroyed.
    while (!m_views.empty()) {
        CView* v = m_views.front();
        HWND frame = v->m_hWnd ? GetParent(v->m_hWnd) : nullptr;
        if (frame) DestroyWindow(frame);
        else RemoveView(v);
    }
    DeleteContents();
    if (m_pDocTemplate) m_pDocTemplate->RemoveDocument(this);
    delete this;
}

void CDocument::SetPathName(const std::string& path, BOOL addToRecent) {
    m_strPathName = path;
    SetTitle(FileNameOf(path));
    if (addToRecent && AfxGetApp()) AfxGetApp()->AddToRecentFileList(path);
}

void CDocument::SetTitle(const std::string& title) {
    m_strTitle = title;
    for (CView* v : m_views)
        if (v->m_hWnd)
            if (auto* f = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(GetParent(v->m_hWnd))))
                f->OnUpdateFrameTitle();
}

void CDocument::UpdateAllViews(CView* sender, LPARAM hint) {
    for (CView* v : m_views)
        if (v != sender) v->OnUpdate(sender, hint);
}

void CDocument::AddView(CView* v) {
    m_views.push_back(v);
    v->m_pDocument = this;
}

void CDocument::RemoveView(CView* v) {
    m_views.erase(std::remove(m_views.begin(), m_views.end(), v), m_views.end());
    v->m_pDocument = nullptr;
}

BOOL CDocument::OnCmdMsg(UINT id, CCmdUI* ui) {
    static const CommandMap<CDocument> map =
        CommandMap<CDocument>().On(ID_FILE_SAVE, &CDocument::OnFileSave).On(ID_FILE_SAVE_AS, &CDocument::OnFileSaveAs);
    return map.Dispatch(*this, id, ui);
}

void CDocument::OnFileSave() { DoSave(m_strPathName); }
void CDocument::OnFileSaveAs() { DoSave(std::string()); }

BOOL CDocument::DoSave(const std::string& path) {
    std::string target = path;
    if (target.empty()) {
        std::string ext = m_pDocTemplate ? m_pDocTemplate->DefaultExtension() : std::string();
        std::string filter = m_pDocTemplate ? m_pDocTemplate->FileFilter() + "All Files (*.*)|*.*||" : "All Files (*.*)|*.*||";
        std::string name = m_strTitle == kUntitled ? std::string() : m_strTitle;
        CFileDialog dlg(FALSE, ext.c_str(), name.c_str(), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, filter.c_str());
        if (dlg.DoModal() != IDOK) return FALSE;
        target = dlg.GetPathName();
    }
    if (!OnSaveDocument(target)) return FALSE;
    SetPathName(target);
    return TRUE;
}

// --- view ------------------------------------------------------------------

const CMessageMap* CView::StaticMap() {
    static const CMessageMap map = MessageMapOf<CView>(CWnd::StaticMap())
        .Message(WM_PAINT, &CView::OnPaint)
        .Command(ID_FILE_PRINT, &CView::OnFilePrint)
        .Command(ID_FILE_PRINT_DIRECT, &CView::OnFilePrintDirect);
    return &map;
}

BOOL CView::Create(CFrameWnd* frame, UINT id) {
    const wchar_t* cls = FwRegisterWndClass(L"FwView", CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, nullptr,
                                            reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    return FwCreateWindow(this, cls, WS_EX_CLIENTEDGE, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                          frame->m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id))) != nullptr;
}

void CView::PostNcDestroy() {
    if (m_pDocument) m_pDocument->RemoveView(this);
    delete this;
}

BOOL CView::OnCmdMsg(UINT id, CCmdUI* ui) {
    const CMessageMapEntry* e = GetMessageMap()->Find(WM_COMMAND, MAKEWPARAM(id, 0), 0);
    if (!e) return FALSE;
    if (ui) ui->Enable(TRUE);
    else e->handler(*this, MAKEWPARAM(id, 0), 0);
    return TRUE;
}

LRESULT CView::OnPaint(WPARAM, LPARAM) {
    CPaintDC dc(m_hWnd);
    OnPrepareDC(&dc, false);
    OnDraw(&dc);
    return 0;
}

BOOL CView::DoPreparePrinting(PRINTDLGW& pd) {
    CWinApp* app = AfxGetApp();
    pd.lStructSize = sizeof(pd);
    pd.hwndOwner = GetParent(m_hWnd);
    pd.Flags |= PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE;
    if (app) {
        pd.hDevMode = app->m_hDevMode;
        pd.hDevNames = app->m_hDevNames;
    }
    if (m_directPrint) pd.Flags |= PD_RETURNDEFAULT;
    BOOL ok = PrintDlgW(&pd);
    if (app) {
        app->m_hDevMode = pd.hDevMode;
        app->m_hDevNames = pd.hDevNames;
    }
    return ok && pd.hDC;
}

BOOL CView::OnPreparePrinting(PRINTDLGW& pd) { return DoPreparePrinting(pd); }

void CView::PrintWith(PRINTDLGW& pd) {
    if (!OnPreparePrinting(pd)) return;
    CDC dc(pd.hDC);
    std::wstring title = Utf8ToWide(m_pDocument ? m_pDocument->GetTitle() : std::string());
    DOCINFOW di = {};
    di.cbSize = sizeof(di);
    di.lpszDocName = title.c_str();
    if (StartDocW(dc.m_hDC, &di) > 0) {
        OnBeginPrinting(&dc);
        if (StartPage(dc.m_hDC) > 0) {
            OnPrepareDC(&dc, true);
            OnDraw(&dc);
            EndPage(dc.m_hDC);
        }
        OnEndPrinting(&dc);
        EndDoc(dc.m_hDC);
    }
    DeleteDC(pd.hDC);
}

void CView::OnFilePrint() {
    PRINTDLGW pd = {};
    m_directPrint = false;
    PrintWith(pd);
}

void CView::OnFilePrintDirect() {
    PRINTDLGW pd = {};
    m_directPrint = true;
    PrintWith(pd);
    m_directPrint = false;
}

// --- scroll view -------------------------------------------------------------

const CMessageMap* CScrollView::StaticMap() {
    static const CMessageMap map = MessageMapOf<CScrollView>(CView::StaticMap())
        .Message(WM_HSCROLL, &CScrollView::OnHScroll)
        .Message(WM_VSCROLL, &CScrollView::OnVScroll)
        .Message(WM_SIZE, &CScrollView::OnSize)
        .Message(WM_MOUSEWHEEL, &CScrollView::OnMouseWheel);
    return &map;
}

void CScrollView::SetScrollSizes(int mapMode, SIZE total, SIZE page, SIZE line) {
    (void)mapMode;  // pixels only
    SIZE p{page.cx ? page.cx : total.cx / 10, page.cy ? page.cy : total.cy / 10};
    SIZE l{line.cx ? line.cx : p.cx / 10, line.cy ? line.cy : p.cy / 10};
    if (l.cx < 1) l.cx = 1;
    if (l.cy < 1) l.cy = 1;
    bool changed = total.cx != m_total.cx || total.cy != m_total.cy;
    m_total = total;
    m_page = p;
    m_line = l;
    // Called from painting too: only a new size touches the bars.
    if (changed && m_hWnd) UpdateBars();
}

void CScrollView::UpdateBars() {
    if (m_updatingBars) return;
    m_updatingBars = true;
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    const int bars[2] = {SB_HORZ, SB_VERT};
    const LONG totals[2] = {m_total.cx, m_total.cy};
    for (int i = 0; i < 2; ++i) {
        int client = i == 0 ? rc.right : rc.bottom;
        SCROLLINFO si = {};
        si.cbSize = sizeof(si);
        si.fMask = SIF_RANGE | SIF_PAGE;
        si.nMin = 0;
        si.nMax = totals[i] > 0 ? totals[i] - 1 : 0;
        si.nPage = totals[i] > client ? static_cast<UINT>(client) : static_cast<UINT>(totals[i] + 1);
        SetScrollInfo(m_hWnd, bars[i], &si, TRUE);
        LONG& pos = i == 0 ? m_pos.x : m_pos.y;
        LONG maxPos = totals[i] > client ? totals[i] - client : 0;
        if (pos > maxPos) {
            pos = maxPos;
            Invalidate(TRUE);
        }
        SetScrollPos(m_hWnd, bars[i], pos, TRUE);
    }
    m_updatingBars = false;
}

void CScrollView::OnPrepareDC(CDC* dc, bool printing) {
    if (!printing) SetViewportOrgEx(dc->m_hDC, -m_pos.x, -m_pos.y, nullptr);
}

void CScrollView::ScrollTo(int bar, int pos) {
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    LONG total = bar == SB_HORZ ? m_total.cx : m_total.cy;
    LONG client = bar == SB_HORZ ? rc.right : rc.bottom;
    LONG maxPos = total > client ? total - client : 0;
    pos = std::max<LONG>(0, std::min<LONG>(pos, maxPos));
    LONG& cur = bar == SB_HORZ ? m_pos.x : m_pos.y;
    if (pos == cur) return;
    cur = pos;
    SetScrollPos(m_hWnd, bar, pos, TRUE);
    Invalidate(TRUE);
}

int CScrollView::ScrollCode(int bar, WORD code) {
    LONG cur = bar == SB_HORZ ? m_pos.x : m_pos.y;
    LONG page = bar == SB_HORZ ? m_page.cx : m_page.cy;
    LONG line = bar == SB_HORZ ? m_line.cx : m_line.cy;
    SCROLLINFO si = {};
    si.cbSize = sizeof(si);
    si.fMask = SIF_TRACKPOS;
    switch (code) {
    case SB_LINEUP: return cur - line;
    case SB_LINEDOWN: return cur + line;
    case SB_PAGEUP: return cur - page;
    case SB_PAGEDOWN: return cur + page;
    case SB_TOP: return 0;
    case SB_BOTTOM: return 0x7FFFFFFF;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        GetScrollInfo(m_hWnd, bar, &si);
        return si.nTrackPos;
    default: return cur;
    }
}

LRESULT CScrollView::OnHScroll(WPARAM wp, LPARAM) {
    ScrollTo(SB_HORZ, ScrollCode(SB_HORZ, LOWORD(wp)));
    return 0;
}

LRESULT CScrollView::OnVScroll(WPARAM wp, LPARAM) {
    ScrollTo(SB_VERT, ScrollCode(SB_VERT, LOWORD(wp)));
    return 0;
}

LRESULT CScrollView::OnMouseWheel(WPARAM wp, LPARAM) {
    short delta = static_cast<short>(HIWORD(wp));
    ScrollTo(SB_VERT, m_pos.y - delta / WHEEL_DELTA * 3 * m_line.cy);
    return 0;
}

LRESULT CScrollView::OnSize(WPARAM, LPARAM) {
    Default();
    UpdateBars();
    return 0;
}

// --- templates ---------------------------------------------------------------

BOOL CDocTemplate::GetDocString(std::string& out, DocStringIndex index) const {
    std::string all = AfxGetApp() ? AfxGetApp()->LoadString(m_nIDResource) : std::string();
    size_t start = 0;
    for (int i = 0; i < index && start != std::string::npos; ++i) {
        size_t nl = all.find('\n', start);
        start = nl == std::string::npos ? std::string::npos : nl + 1;
    }
    if (start == std::string::npos) {
        out.clear();
        return FALSE;
    }
    size_t end = all.find('\n', start);
    out = all.substr(start, end == std::string::npos ? std::string::npos : end - start);
    return TRUE;
}

std::string CDocTemplate::FileFilter() const {
    std::string name, ext;
    GetDocString(name, filterName);
    GetDocString(ext, filterExt);
    if (name.empty() || ext.empty()) return std::string();
    return name + "|*" + ext + "|";
}

std::string CDocTemplate::DefaultExtension() const {
    std::string ext;
    GetDocString(ext, filterExt);
    // The common dialogs want it without the dot; with one, a typed name is not completed.
    return !ext.empty() && ext[0] == '.' ? ext.substr(1) : ext;
}

CSingleDocTemplate::~CSingleDocTemplate() {
    // A document left at exit (its frame already gone) goes with the template.
    if (m_pOnlyDoc) {
        m_pOnlyDoc->m_pDocTemplate = nullptr;
        delete m_pOnlyDoc;
    }
}

void CSingleDocTemplate::RemoveDocument(CDocument* doc) {
    if (m_pOnlyDoc == doc) m_pOnlyDoc = nullptr;
}

CDocument* CSingleDocTemplate::OpenDocumentFile(const char* path) {
    bool created = false;
    CFrameWnd* frame = nullptr;
    CDocument* doc = m_pOnlyDoc;
    if (!doc) {
        doc = m_newDoc();
        doc->m_pDocTemplate = this;
        m_pOnlyDoc = doc;
        frame = m_newFrame();
        frame->m_pNewDocument = doc;
        frame->m_pNewView = m_newView();
        if (!frame->LoadFrame(m_nIDResource)) {
            if (!frame->m_hWnd) {
                delete frame->m_pNewView;
                delete frame;
            }
            m_pOnlyDoc = nullptr;
            delete doc;
            return nullptr;
        }
        created = true;
        if (AfxGetApp() && !AfxGetApp()->m_pMainWnd) AfxGetApp()->m_pMainWnd = frame;
    } else if (CView* v = doc->GetFirstView()) {
        frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(GetParent(v->m_hWnd)));
    }

    BOOL ok = path ? doc->OnOpenDocument(path) : doc->OnNewDocument();
    if (!ok) {
        if (created && frame && frame->m_hWnd) {
            if (AfxGetApp() && AfxGetApp()->m_pMainWnd == frame) AfxGetApp()->m_pMainWnd = nullptr;
            DestroyWindow(frame->m_hWnd);  // takes the view with it
            if (m_pOnlyDoc == doc) {
                m_pOnlyDoc = nullptr;
                delete doc;
            }
        }
        return nullptr;
    }
    if (path) doc->SetPathName(path);
    else doc->SetTitle(kUntitled);
    if (frame) frame->InitialUpdateFrame();
    return doc;
}
