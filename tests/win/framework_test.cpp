// The framework's message routing and text conversion, on real windows under Wine.
#include <gtest/gtest.h>

#include <windows.h>

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

TEST(Text, Utf8AndUtf16RoundTrip) {
    const std::string chinese = "正在切割，请稍后再试!";
    EXPECT_EQ(Utf8ToWide(chinese), L"\x6b63\x5728\x5207\x5272\xff0c\x8bf7\x7a0d\x540e\x518d\x8bd5!");
    EXPECT_EQ(WideToUtf8(Utf8ToWide(chinese)), chinese);
    EXPECT_EQ(WideToUtf8(Utf8ToWide("")), "");
    EXPECT_EQ(FormatText("COM: COM%d", 3), "COM: COM3");
}
