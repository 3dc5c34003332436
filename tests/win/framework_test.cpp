// The framework's message routing and text conversion, on real windows under Wine.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

#include "dialog.h"
#include "fwstring.h"
#include "wnd.h"

namespace {

class CBase : public CWnd {
    FW_DECLARE_MESSAGE_MAP()
public:
    std::vector<std::string> calls;
    void OnBaseCommand() { calls.push_back("base 7"); }
    LRESULT OnUser(WPARAM wp, LPARAM lp) {
        calls.push_back("base user");
        return static_cast<LRESULT>(wp + lp);
    }
};
const CMessageMap* CBase::StaticMap() {
    static const CMessageMap map = MessageMapOf<CBase>(CWnd::StaticMap())
        .Command(7, &CBase::OnBaseCommand)
        .Message(WM_USER + 1, &CBase::OnUser);
    return &map;
}

class CDerived : public CBase {
    FW_DECLARE_MESSAGE_MAP()
public:
    void OnRange() { calls.push_back("range"); }
    void OnChange() { calls.push_back("change"); }
    LRESULT OnUser(WPARAM wp, LPARAM) {
        calls.push_back("derived user");
        return wp == 0 ? Default() : 99;
    }
    LRESULT OnSetText(WPARAM, LPARAM) {
        calls.push_back("settext");
        return Default();  // the window still stores the text
    }
};
const CMessageMap* CDerived::StaticMap() {
    static const CMessageMap map = MessageMapOf<CDerived>(CBase::StaticMap())
        .CommandRange(10, 12, &CDerived::OnRange)
        .ControlNotify(EN_CHANGE, 7, &CDerived::OnChange)
        .Message(WM_USER + 1, &CDerived::OnUser)
        .Message(WM_SETTEXT, &CDerived::OnSetText);
    return &map;
}

// A window object that deletes itself once its window is gone, as frames and views do. Its
// memory is not freed but poisoned, so a write after the delete shows.
class CSelfDeleting : public CWnd {
    FW_DECLARE_MESSAGE_MAP()
public:
    static unsigned char storage[];
    static bool deleted;
    static void* operator new(size_t) { return storage; }
    static void operator delete(void* p) {
        memset(p, 0xDD, sizeof(CSelfDeleting));
        deleted = true;
    }
    static bool StillPoisoned() {
        for (size_t i = 0; i < sizeof(CSelfDeleting); ++i)
            if (storage[i] != 0xDD) return false;
        return true;
    }
    LRESULT OnClose(WPARAM, LPARAM) {
        DestroyWindow(m_hWnd);
        return 0;
    }
    LRESULT OnCloseFromInside(WPARAM, LPARAM) { return SendMessage(WM_CLOSE); }  // two calls open
    void PostNcDestroy() override { delete this; }
};
alignas(CSelfDeleting) unsigned char CSelfDeleting::storage[sizeof(CSelfDeleting)];
bool CSelfDeleting::deleted = false;
const CMessageMap* CSelfDeleting::StaticMap() {
    static const CMessageMap map = MessageMapOf<CSelfDeleting>(CWnd::StaticMap())
        .Message(WM_CLOSE, &CSelfDeleting::OnClose)
        .Message(WM_USER + 2, &CSelfDeleting::OnCloseFromInside);
    return &map;
}

HWND MakeWindow() {
    return CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

TEST(MessageMap, DerivedEntriesComeFirstAndDefaultReachesTheWindow) {
    CDerived w;
    HWND h = MakeWindow();
    ASSERT_TRUE(w.SubclassWindow(h));
    EXPECT_EQ(CWnd::FromHandlePermanent(h), &w);

    EXPECT_EQ(SendMessageW(h, WM_USER + 1, 5, 1), 99);
    EXPECT_EQ(SendMessageW(h, WM_COMMAND, MAKEWPARAM(7, 0), 0), 0);             // base's command
    EXPECT_EQ(SendMessageW(h, WM_COMMAND, MAKEWPARAM(7, EN_CHANGE), 0), 0);     // control notification
    EXPECT_EQ(SendMessageW(h, WM_COMMAND, MAKEWPARAM(11, 1), 0), 0);            // accelerator in range
    SendMessageW(h, WM_COMMAND, MAKEWPARAM(13, 0), 0);                          // outside every entry
    SetWindowTextW(h, L"\x5207\x5272");                                         // 切割
    EXPECT_EQ(w.GetWindowText(), "切割");
    EXPECT_EQ(w.calls, (std::vector<std::string>{"derived user", "base 7", "change", "range", "settext"}));

    DestroyWindow(h);
    EXPECT_EQ(w.m_hWnd, nullptr);  // detached when the window went away
}

TEST(MessageMap, AWindowThatDeletesItselfInAHandlerIsNotTouchedAfterwards) {
    for (UINT closing : {static_cast<UINT>(WM_CLOSE), static_cast<UINT>(WM_USER + 2)}) {
        CSelfDeleting::deleted = false;
        auto* w = new CSelfDeleting;
        HWND h = MakeWindow();
        ASSERT_TRUE(w->SubclassWindow(h));
        SendMessageW(h, closing, 0, 0);
        EXPECT_FALSE(IsWindow(h));
        EXPECT_TRUE(CSelfDeleting::deleted);
        EXPECT_TRUE(CSelfDeleting::StillPoisoned()) << "written to after its delete, message " << closing;
    }
}

TEST(Text, Utf8AndUtf16RoundTrip) {
    const std::string chinese = "正在切割，请稍后再试!";
    EXPECT_EQ(Utf8ToWide(chinese), L"\x6b63\x5728\x5207\x5272\xff0c\x8bf7\x7a0d\x540e\x518d\x8bd5!");
    EXPECT_EQ(WideToUtf8(Utf8ToWide(chinese)), chinese);
    EXPECT_EQ(WideToUtf8(Utf8ToWide("")), "");
    EXPECT_EQ(FormatText("COM: COM%d", 3), "COM: COM3");
}
