// The kit's probe library. A WH_CALLWNDPROC hook of the kit loads it into the
// program under test; it answers the kit's request message from inside that
// program's thread, where menus and tooltip tools can be read.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "probe_protocol.h"

namespace {

void Put(std::wstring& out, const wchar_t* s) { out += s; }
void PutNum(std::wstring& out, long v) {
    wchar_t b[24];
    wsprintfW(b, L"%ld", v);
    out += b;
}

std::wstring DescribeMenu(HMENU menu) {
    if (!menu) return L"ERR no menu on this window\n";
    int count = GetMenuItemCount(menu);
    if (count < 0) return L"ERR not a menu\n";
    std::wstring out = L"OK\n";
    for (int i = 0; i < count; ++i) {
        wchar_t text[512] = {};
        MENUITEMINFOW mi = {};
        mi.cbSize = sizeof(mi);
        mi.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_STRING;
        mi.dwTypeData = text;
        mi.cch = 511;
        if (!GetMenuItemInfoW(menu, i, TRUE, &mi)) continue;
        UINT state = GetMenuState(menu, i, MF_BYPOSITION);
        RECT r = {};
        GetMenuItemRect(nullptr, menu, i, &r);
        PutNum(out, i); Put(out, L"\t");
        PutNum(out, static_cast<long>(mi.wID)); Put(out, L"\t");
        PutNum(out, static_cast<long>(mi.fType)); Put(out, L"\t");
        PutNum(out, static_cast<long>(state == static_cast<UINT>(-1) ? mi.fState : (state | mi.fState))); Put(out, L"\t");
        PutNum(out, r.left); Put(out, L","); PutNum(out, r.top); Put(out, L",");
        PutNum(out, r.right); Put(out, L","); PutNum(out, r.bottom); Put(out, L"\t");
        Put(out, text); Put(out, L"\n");
    }
    return out;
}

std::wstring DescribeTooltips(HWND tip) {
    std::wstring out = L"OK\n";
    LONG style = GetWindowLongW(tip, GWL_STYLE);
    int count = static_cast<int>(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[1024] = {};
        TTTOOLINFOW ti = {};
        ti.cbSize = sizeof(ti);
        ti.lpszText = text;
        if (!SendMessageW(tip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&ti))) continue;
        if (ti.lpszText == LPSTR_TEXTCALLBACKW) text[0] = 0;
        else if (ti.lpszText != text) text[0] = 0;
        Put(out, L"tool\t");
        PutNum(out, IsWindowVisible(tip) ? 1 : 0); Put(out, L"\t");
        PutNum(out, (style & TTS_BALLOON) ? 1 : 0); Put(out, L"\t");
        Put(out, text); Put(out, L"\n");
    }
    return out;
}

void PutRect(std::wstring& out, HWND w, RECT r) {
    MapWindowPoints(w, nullptr, reinterpret_cast<POINT*>(&r), 2);
    PutNum(out, r.left); Put(out, L","); PutNum(out, r.top); Put(out, L",");
    PutNum(out, r.right); Put(out, L","); PutNum(out, r.bottom);
}

// Columns as "col<TAB>title", rows as "row<TAB>checked<TAB>selected<TAB>focused" followed by
// "<TAB>screen rect<TAB>text" for each column.
std::wstring DescribeListView(HWND list) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    if (!header) return L"ERR not a list view in report style\n";
    int columns = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    std::wstring out = L"OK\n";
    for (int c = 0; c < columns; ++c) {
        wchar_t text[512] = {};
        LVCOLUMNW col = {};
        col.mask = LVCF_TEXT;
        col.pszText = text;
        col.cchTextMax = 511;
        SendMessageW(list, LVM_GETCOLUMNW, c, reinterpret_cast<LPARAM>(&col));
        Put(out, L"col\t"); Put(out, text); Put(out, L"\n");
    }
    int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < rows; ++i) {
        UINT state = static_cast<UINT>(SendMessageW(list, LVM_GETITEMSTATE, i, LVIS_STATEIMAGEMASK | LVIS_SELECTED | LVIS_FOCUSED));
        Put(out, L"row\t");
        PutNum(out, ((state & LVIS_STATEIMAGEMASK) >> 12) == 2 ? 1 : 0); Put(out, L"\t");
        PutNum(out, (state & LVIS_SELECTED) ? 1 : 0); Put(out, L"\t");
        PutNum(out, (state & LVIS_FOCUSED) ? 1 : 0);
        for (int c = 0; c < columns; ++c) {
            RECT r = {};
            r.top = c;
            r.left = c == 0 ? LVIR_LABEL : LVIR_BOUNDS;
            SendMessageW(list, LVM_GETSUBITEMRECT, i, reinterpret_cast<LPARAM>(&r));
            wchar_t text[512] = {};
            LVITEMW it = {};
            it.iSubItem = c;
            it.pszText = text;
            it.cchTextMax = 511;
            SendMessageW(list, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&it));
            Put(out, L"\t"); PutRect(out, list, r); Put(out, L"\t"); Put(out, text);
        }
        Put(out, L"\n");
    }
    return out;
}

void Answer(HWND w, WPARAM kind) {
    std::wstring out;
    if (kind == kProbeMenu) out = DescribeMenu(reinterpret_cast<HMENU>(SendMessageW(w, MN_GETHMENU, 0, 0)));
    else if (kind == kProbeMenuBar) out = DescribeMenu(GetMenu(w));
    else if (kind >= kProbeSubMenu) out = DescribeMenu(GetSubMenu(GetMenu(w), static_cast<int>(kind - kProbeSubMenu)));
    else if (kind == kProbeTooltips) out = DescribeTooltips(w);
    else if (kind == kProbeListView) out = DescribeListView(w);
    else out = L"ERR unknown request\n";
    wchar_t name[64];
    ProbeMappingName(GetCurrentProcessId(), name, 64);
    HANDLE map = OpenFileMappingW(FILE_MAP_WRITE, FALSE, name);
    if (!map) return;
    if (void* view = MapViewOfFile(map, FILE_MAP_WRITE, 0, 0, kProbeMappingBytes)) {
        size_t maxChars = kProbeMappingBytes / sizeof(wchar_t) - 1;
        if (out.size() > maxChars) out.resize(maxChars);
        memcpy(view, out.c_str(), (out.size() + 1) * sizeof(wchar_t));
        UnmapViewOfFile(view);
    }
    CloseHandle(map);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK KmProbeHook(int code, WPARAM wp, LPARAM lp) {
    static const UINT request = RegisterWindowMessageW(KM_PROBE_REQUEST_MESSAGE);
    if (code == HC_ACTION) {
        const CWPSTRUCT* cwp = reinterpret_cast<const CWPSTRUCT*>(lp);
        if (cwp->message == request) Answer(cwp->hwnd, cwp->wParam);
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}
