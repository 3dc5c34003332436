// The main dialog's text progress bar: what it paints and when it repaints.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "TextProgressCtrl.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255), kBlue = RGB(0, 0, 255), kRed = RGB(255, 0, 0);

// Counts the paints that reach the control.
class CountingBar : public CTextProgressCtrl {
public:
    int paints = 0;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_PAINT) ++paints;
        return CTextProgressCtrl::WindowProc(msg, wp, lp);
    }
};

// A shown top-level window holding a bar of 200 by 16 pixels.
struct BarWindow {
    HWND frame = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"bar", WS_POPUP | WS_VISIBLE, 10, 10, 220, 40, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    HWND bar = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 10, 10, 200, 16, frame, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    ~BarWindow() { DestroyWindow(frame); }
    void Pump() {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
    }
    COLORREF Pixel(int x, int y) {
        HDC dc = GetDC(bar);
        COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(bar, dc);
        return c;
    }
};

void Colour(CTextProgressCtrl& bar) {
    bar.SetBgColour(kWhite);
    bar.SetBarColour(kBlue);
    bar.SetTextColour(kRed);
    bar.SetTextOnBarColour(kRed);
}

TEST(TextProgressCtrl, WithoutAWindowSetPosReturnsMinusOne) {
    CTextProgressCtrl bar;
    EXPECT_EQ(bar.SetPos(40), -1);
    EXPECT_EQ(bar.GetPos(), 0);
}

TEST(TextProgressCtrl, RepaintsOnlyWhenTheFilledPartGainsAPixel) {
    InitCommonControls();
    BarWindow w;
    CountingBar bar;
    ASSERT_TRUE(bar.SubclassWindow(w.bar));
    Colour(bar);
    w.Pump();
    bar.paints = 0;
    EXPECT_EQ(bar.SetPos(10), 0);  // 20 pixels
    EXPECT_EQ(bar.paints, 1) << "the repaint is synchronous";
    EXPECT_EQ(bar.SetPos(10), 10);
    EXPECT_EQ(bar.paints, 1);
    // 200 pixels wide: half a per cent is one pixel; 10.4 % and 10 % fill 20 pixels alike.
    bar.SetPos(11);
    EXPECT_EQ(bar.paints, 2);
    // A resize forgets the drawn width, so the same position repaints.
    SetWindowPos(w.bar, nullptr, 0, 0, 200, 17, SWP_NOMOVE | SWP_NOZORDER);
    w.Pump();
    int before = bar.paints;
    bar.SetPos(11);
    EXPECT_EQ(bar.paints, before + 1);
    bar.Detach();
}

TEST(TextProgressCtrl, PaintsBarAndEmptyPartInTheirColours) {
    InitCommonControls();
    BarWindow w;
    CTextProgressCtrl bar;
    ASSERT_TRUE(bar.SubclassWindow(w.bar));
    Colour(bar);
    bar.SetPos(0);
    w.Pump();
    // Far from the centred text: the corners.
    EXPECT_EQ(w.Pixel(2, 2), kWhite);
    EXPECT_EQ(w.Pixel(197, 13), kWhite);
    bar.SetPos(100);
    EXPECT_EQ(w.Pixel(2, 2), kBlue);
    EXPECT_EQ(w.Pixel(197, 13), kBlue);
    bar.SetPos(50);
    EXPECT_EQ(w.Pixel(2, 2), kBlue);
    EXPECT_EQ(w.Pixel(99, 1), kBlue);
    EXPECT_EQ(w.Pixel(100, 1), kWhite);
    EXPECT_EQ(w.Pixel(197, 13), kWhite);
    // The text "50%" straddles the edge: some red on each side of it.
    auto redBetween = [&](int x0, int x1) {
        for (int x = x0; x < x1; ++x)
            for (int y = 0; y < 16; ++y)
                if (w.Pixel(x, y) == kRed) return true;
        return false;
    };
    EXPECT_TRUE(redBetween(80, 100));
    EXPECT_TRUE(redBetween(100, 120));
    bar.Detach();
}

TEST(TextProgressCtrl, CaptionReplacesThePercentage) {
    InitCommonControls();
    BarWindow w;
    CountingBar bar;
    ASSERT_TRUE(bar.SubclassWindow(w.bar));
    w.Pump();
    bar.paints = 0;
    // Same caption twice: one repaint; a null text while the caption is empty: none.
    bar.SetWindowText("");
    SendMessageW(w.bar, WM_SETTEXT, 0, 0);
    w.Pump();
    EXPECT_EQ(bar.paints, 0);
    bar.SetWindowText("Cut");
    w.Pump();
    bar.SetWindowText("Cut");
    w.Pump();
    EXPECT_EQ(bar.paints, 1);
    EXPECT_EQ(bar.GetWindowText(), "Cut");
    wchar_t small[2] = {L'x', L'x'};
    EXPECT_EQ(SendMessageW(w.bar, WM_GETTEXT, 2, reinterpret_cast<LPARAM>(small)), 2);
    EXPECT_EQ(small[0], L'C');
    EXPECT_EQ(SendMessageW(w.bar, WM_GETTEXT, 0, 0), 0);
    bar.Detach();
}

}  // namespace
