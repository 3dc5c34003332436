// Kelmirt's settings dialog, driven as a user would: one dialog at a time, which keys
// OK and Cancel write, the port and language fields, the contour/segment rule, the
// feed check, and settings that survive a restart.
#include "station_fixture.h"

using namespace e2e;

namespace kelmirt_e2e {
namespace {

constexpr int kSettingsButton = 1001, kPortLabel = 1007;
// Controls of the settings dialog.
constexpr int kOk = 1, kCancel = 1020, kModel = 1031, kPort = 1030, kContour = 1042, kMarkColour = 1033,
              kDashed = 1061, kSolid = 1062, kJump = 1063, kFeed = 1076, kLanguage = 1079, kSegLen = 1099,
              kCloseOffset = 1008, kModelLabel = 1082, kPicture = 1105;
const char kSettingsCaption[] = "设置";

class StationSettingsTest : public StationTest {
protected:
    HWND OpenSettings(HWND w, const CProgram* prog = nullptr) {
        if (!Post(w, WM_COMMAND, kSettingsButton, 0)) return nullptr;
        HWND dlg = WaitDialog(kSettingsCaption, (prog ? prog : &station)->Pid(), 10000);
        // Shown once its initialisation is through.
        if (dlg && !WaitUntil([&] { return IsWindowVisible(dlg) != FALSE; }, 10000)) return nullptr;
        return dlg;
    }
    std::vector<HWND> SettingsDialogs() {
        WindowQuery q;
        q.cls = "#32770";
        q.caption = kSettingsCaption;
        q.pid = station.Pid();
        return FindTopWindows(q);
    }
    bool Closes(HWND dlg) { return WaitUntil([&] { return !IsWindow(dlg) || !IsWindowVisible(dlg); }, 10000); }
    // A message box of the station other than its main window (both are captioned "Kelmirt").
    HWND WaitMessageBox(HWND mainWindow, DWORD ms = 10000) {
        HWND found = nullptr;
        WaitUntil([&] {
            for (HWND h : FindTopWindows(StationQuery(station.Pid())))
                if (h != mainWindow && IsWindowVisible(h)) found = h;
            return found != nullptr;
        }, ms);
        return found;
    }
    // Picks a row of a drop-down list and tells the dialog, as the list does.
    bool PickRow(HWND dlg, int id, int row) {
        HWND combo = Control(dlg, id);
        return Send(combo, CB_SETCURSEL, static_cast<WPARAM>(row)) == std::optional<LRESULT>(row) &&
               Post(dlg, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    }
    std::string Ini() { return ReadFileText(IniPath()).value_or(""); }
    // The window with the keyboard focus on the dialog's thread.
    static HWND Focused(HWND dlg) {
        GUITHREADINFO gi = {};
        gi.cbSize = sizeof(gi);
        return GetGUIThreadInfo(GetWindowThreadProcessId(dlg, nullptr), &gi) ? gi.hwndFocus : nullptr;
    }
};

const char kIni[] =
    "[Language]\r\nLan=Chinese\r\n[COM]\r\nCurrentCom=5\r\n[CutConfig]\r\nSegLen=300\r\nCloseOffset=0.80\r\n"
    "[FeedPaper]\r\nYSTEPS=2.5\r\n[XYInaccuracy]\r\nXSizeRedeem=1.25\r\nYSizeRedeem=0.8\r\n";

TEST_F(StationSettingsTest, SecondRequestBringsTheOpenDialogForward) {
    HWND w = Start(std::string(kIni));
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(WaitHidden(w));
    HWND dlg = OpenSettings(w);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(TextOf(dlg), kSettingsCaption);
    // The button's command again, and the tray menu's Set command.
    ASSERT_TRUE(Post(w, WM_COMMAND, kSettingsButton, 0));
    ASSERT_TRUE(Post(w, WM_COMMAND, kTraySet, 0));
    EXPECT_TRUE(WaitUntil([&] { return (GetWindowLongW(dlg, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }, 5000));
    Sleep(300);
    EXPECT_EQ(SettingsDialogs().size(), 1u);
    EXPECT_EQ(Ping(w), std::optional<LRESULT>(1));
    // What it shows: the stored values and the model picture.
    EXPECT_EQ(ControlText(dlg, kPort), "USB");
    EXPECT_EQ(ControlText(dlg, kSegLen), "300");
    EXPECT_EQ(ControlText(dlg, kCloseOffset), "0.8");
    EXPECT_EQ(ControlText(dlg, kFeed), "2.5");
    EXPECT_EQ(ControlText(dlg, kModelLabel), "型号:");
    EXPECT_NE(Send(Control(dlg, kPicture), STM_GETIMAGE, IMAGE_BITMAP).value_or(0), 0);
    Sleep(500);  // let it paint
    EXPECT_FALSE(Screenshot("kelmirt-settings-Chinese").empty());
    ASSERT_TRUE(ClickButton(dlg, kCancel));
    EXPECT_TRUE(Closes(dlg));
}

TEST_F(StationSettingsTest, CancelWritesOnlyTheSizeRatiosWithTheirOldValues) {
    HWND w = Start(std::string(kIni));
    ASSERT_NE(w, nullptr);
    HWND dlg = OpenSettings(w);
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(SetControlText(dlg, kSegLen, "500"));
    ASSERT_TRUE(SetControlText(dlg, kFeed, "7"));
    ASSERT_TRUE(SetControlText(dlg, kPort, "COM3"));
    ASSERT_TRUE(PickRow(dlg, kLanguage, 1));
    ASSERT_TRUE(ClickButton(dlg, kCancel));
    ASSERT_TRUE(Closes(dlg));
    // The size ratios are the last keys written; reading while the station still
    // rewrites the file may find it half written.
    EXPECT_TRUE(WaitUntil([&] { return IniValue("XYInaccuracy", "YSizeRedeem") == "0.800000"; }, 5000));
    Sleep(300);
    EXPECT_EQ(IniValue("XYInaccuracy", "XSizeRedeem"), "1.250000");
    EXPECT_EQ(IniValue("CutConfig", "SegLen"), "300");
    EXPECT_EQ(IniValue("FeedPaper", "YSTEPS"), "2.5");
    EXPECT_EQ(IniValue("COM", "CurrentCom"), "5");
    EXPECT_EQ(IniValue("Language", "Lan"), "Chinese");
    for (const char* key : {"SharpOffset", "CloseEnble", "SegEnble", "ReducePoint"})
        EXPECT_EQ(IniValue("CutConfig", key), "<absent>") << key;
    EXPECT_EQ(IniValue("AutoGET", "WaitSecond"), "<absent>");
    EXPECT_EQ(Language(w), std::optional<LRESULT>(0));
    EXPECT_EQ(ControlText(w, kPortLabel), "COM: COM5");
}

struct PortCase {
    const char* typed;
    const char* stored;
    const char* label;
};

class StationSettingsPortTest : public StationSettingsTest, public ::testing::WithParamInterface<PortCase> {};

TEST_P(StationSettingsPortTest, OkStoresThePortNumberAndLabelsThePort) {
    const PortCase& c = GetParam();
    HWND w = Start(std::string(kIni));
    ASSERT_NE(w, nullptr);
    HWND dlg = OpenSettings(w);
    ASSERT_NE(dlg, nullptr);
    if (std::string(c.typed) != "USB") {
        ASSERT_TRUE(SetControlText(dlg, kPort, c.typed));
    }
    ASSERT_TRUE(ClickButton(dlg, kOk));
    ASSERT_TRUE(Closes(dlg));
    EXPECT_TRUE(WaitUntil([&] { return IniValue("COM", "CurrentCom") == c.stored; }, 5000));
    EXPECT_EQ(ControlText(w, kPortLabel), c.label);
    // Every OK stores the fixed sharp-corner offset and the point reduction.
    EXPECT_EQ(IniValue("CutConfig", "SharpOffset"), "0.60");
    EXPECT_EQ(IniValue("CutConfig", "ReducePoint"), "0.20");
    EXPECT_EQ(IniValue("CutConfig", "SharpEnble"), "0");
    EXPECT_EQ(IniValue("CutConfig", "ReducePointEnble"), "0");
    EXPECT_EQ(IniValue("LANGUAGE", "Lan"), "Chinese");
    EXPECT_EQ(IniValue("CutConfig", "SegLen"), "300");
    EXPECT_EQ(IniValue("CutConfig", "CloseOffset"), "0.80");
    EXPECT_EQ(IniValue("FeedPaper", "YSTEPS"), "2.5");
    EXPECT_EQ(IniValue("XYInaccuracy", "XDesignSize"), "100.000");
    EXPECT_EQ(IniValue("Model", "Mode"), "1");
    EXPECT_EQ(IniValue("AutoGET", "ColExportPath"), TempDir());
}

INSTANTIATE_TEST_SUITE_P(Ports, StationSettingsPortTest,
                         ::testing::Values(PortCase{"USB", "", "COM:USB"}, PortCase{"COM3", "3", "COM:COM3"},
                                           PortCase{"COM12", "12", "COM:COM12"}),
                         [](const ::testing::TestParamInfo<PortCase>& i) { return std::string(i.param.typed); });

TEST_F(StationSettingsTest, EnglishTakesEffectOnOkAndInTheNextDialog) {
    HWND w = Start(std::string(kIni));
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(Language(w), std::optional<LRESULT>(0));
    HWND dlg = OpenSettings(w);
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(PickRow(dlg, kLanguage, 1));
    Sleep(200);
    EXPECT_EQ(ControlText(dlg, kModelLabel), "型号:");  // this dialog stays Chinese
    ASSERT_TRUE(ClickButton(dlg, kOk));
    ASSERT_TRUE(Closes(dlg));
    EXPECT_TRUE(WaitUntil([&] { return IniValue("LANGUAGE", "Lan") == "English"; }, 5000));
    EXPECT_EQ(Language(w), std::optional<LRESULT>(1));
    EXPECT_EQ(ControlText(w, kStatusLine), "Not find plotter device");

    dlg = OpenSettings(w);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(ControlText(dlg, kModelLabel), "Model:");
    EXPECT_EQ(ControlText(dlg, kOk), "OK");
    EXPECT_EQ(TextOf(dlg), kSettingsCaption);  // the title stays
    EXPECT_EQ(TextOf(Control(dlg, kModel)), "DREVIK roll feeding cutting plotter series");
    EXPECT_EQ(Send(Control(dlg, kLanguage), CB_GETCURSEL), std::optional<LRESULT>(1));
    Sleep(500);  // let it paint
    EXPECT_FALSE(Screenshot("kelmirt-settings-English", {dlg}).empty());
    ASSERT_TRUE(ClickButton(dlg, kCancel));
    ASSERT_TRUE(Closes(dlg));
}

TEST_F(StationSettingsTest, ContourCuttingDisablesTheSegmentLengthAtOnceAndOnReopening) {
    HWND w = Start(std::string(kIni));
    ASSERT_NE(w, nullptr);
    HWND dlg = OpenSettings(w);
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(IsWindowEnabled(Control(dlg, kSegLen)));
    ASSERT_TRUE(ClickButton(dlg, kContour));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(Control(dlg, kSegLen)); }, 5000));
    ASSERT_TRUE(ClickButton(dlg, kContour));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(Control(dlg, kSegLen)) != FALSE; }, 5000));
    ASSERT_TRUE(ClickButton(dlg, kContour));
    ASSERT_TRUE(ClickButton(dlg, kOk));
    ASSERT_TRUE(Closes(dlg));
    EXPECT_TRUE(WaitUntil([&] { return IniValue("CutConfig", "CutImageMode") == "1"; }, 5000));

    dlg = OpenSettings(w);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(Send(Control(dlg, kContour), BM_GETCHECK), std::optional<LRESULT>(BST_CHECKED));
    EXPECT_FALSE(IsWindowEnabled(Control(dlg, kSegLen)));
    ASSERT_TRUE(ClickButton(dlg, kCancel));
}

TEST_F(StationSettingsTest, NegativeFeedAndOutOfRangeFieldsKeepTheDialogOpen) {
    HWND w = Start(std::string(kIni));
    ASSERT_NE(w, nullptr);
    HWND dlg = OpenSettings(w);
    ASSERT_NE(dlg, nullptr);

    ASSERT_TRUE(SetControlText(dlg, kFeed, "-1"));
    ASSERT_TRUE(ClickButton(dlg, kOk));
    HWND box = WaitMessageBox(w);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "纵向进纸>0!");
    ASSERT_TRUE(PressKey(box, VK_RETURN));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
    EXPECT_TRUE(IsWindowVisible(dlg));
    EXPECT_EQ(IniValue("FeedPaper", "YSTEPS"), "2.5");

    // Fields outside their range or unreadable: the framework's standard texts.
    ASSERT_TRUE(SetControlText(dlg, kFeed, "0"));
    const struct {
        int id;
        const char* typed;
        const char* good;
        const char* message;
    } refused[] = {
        {kSegLen, "99", "100", "请输入一个在 100 和 10000 之间的整数。"},
        {kSegLen, "10001", "100", "请输入一个在 100 和 10000 之间的整数。"},
        {kSegLen, "1e3", "100", "请输入一个整数。"},
        {kCloseOffset, "2.5", "0.8", "请输入一个在 0.01 和 2 之间的数字。"},
        {kCloseOffset, "0", "0.8", "请输入一个在 0.01 和 2 之间的数字。"},
        {kCloseOffset, "0,5", "0.8", "请输入一个数。"},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(std::string(c.typed) + " in " + std::to_string(c.id));
        ASSERT_TRUE(SetControlText(dlg, c.id, c.typed));
        ASSERT_TRUE(ClickButton(dlg, kOk));
        box = WaitMessageBox(w);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(MessageBoxText(box), c.message);
        ASSERT_TRUE(PressKey(box, VK_RETURN));
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
        EXPECT_TRUE(IsWindowVisible(dlg));
        EXPECT_TRUE(WaitUntil([&] { return Focused(dlg) == Control(dlg, c.id); }, 2000)) << "focus back to the field";
        ASSERT_TRUE(SetControlText(dlg, c.id, c.good));
    }

    // Zero feed is accepted.
    ASSERT_TRUE(ClickButton(dlg, kOk));
    ASSERT_TRUE(Closes(dlg));
    EXPECT_TRUE(WaitUntil([&] { return IniValue("XYInaccuracy", "YSizeRedeem") == "0.800000"; }, 5000));
    Sleep(300);
    EXPECT_EQ(IniValue("FeedPaper", "YSTEPS"), "0.0");
    EXPECT_EQ(IniValue("CutConfig", "SegLen"), "100");
}

TEST_F(StationSettingsTest, ValuesSurviveARestart) {
    HWND w = Start(std::string(kIni));
    ASSERT_NE(w, nullptr);
    HWND dlg = OpenSettings(w);
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(PickRow(dlg, kModel, 2));
    ASSERT_TRUE(PickRow(dlg, kMarkColour, 2));
    ASSERT_TRUE(ClickButton(dlg, kDashed));
    ASSERT_TRUE(SetControlText(dlg, kSolid, "3.5"));
    ASSERT_TRUE(SetControlText(dlg, kJump, "1.25"));
    ASSERT_TRUE(SetControlText(dlg, kCloseOffset, "1.2"));
    ASSERT_TRUE(SetControlText(dlg, kSegLen, "750"));
    ASSERT_TRUE(SetControlText(dlg, kFeed, "12.5"));
    Sleep(200);
    ASSERT_TRUE(ClickButton(dlg, kOk));
    ASSERT_TRUE(Closes(dlg));
    // The size ratios are the last keys written; the station ends once they are there.
    ASSERT_TRUE(WaitUntil([&] { return IniValue("COM", "CurrentCom") == "" &&
                                       IniValue("XYInaccuracy", "YSizeRedeem") == "0.800000"; }, 5000));
    Sleep(500);
    const std::string saved = Ini();
    ASSERT_NE(saved.find("SegLen=750"), std::string::npos) << saved;
    station.Terminate();
    ASSERT_TRUE(WaitNoTopWindow(StationQuery(), 10000));

    CProgram again;
    HWND w2 = Start(again, saved, "-again");
    ASSERT_NE(w2, nullptr);
    HWND dlg2 = OpenSettings(w2, &again);
    ASSERT_NE(dlg2, nullptr);
    EXPECT_EQ(Send(Control(dlg2, kModel), CB_GETCURSEL), std::optional<LRESULT>(2));
    EXPECT_EQ(Send(Control(dlg2, kMarkColour), CB_GETCURSEL), std::optional<LRESULT>(2));
    EXPECT_EQ(Send(Control(dlg2, kDashed), BM_GETCHECK), std::optional<LRESULT>(BST_CHECKED));
    EXPECT_EQ(ControlText(dlg2, kSolid), "3.5");
    EXPECT_EQ(ControlText(dlg2, kJump), "1.25");
    EXPECT_EQ(ControlText(dlg2, kCloseOffset), "1.2");
    EXPECT_EQ(ControlText(dlg2, kSegLen), "750");
    EXPECT_EQ(ControlText(dlg2, kFeed), "12.5");
    // An empty stored port number reads as 1 at start.
    EXPECT_EQ(ControlText(w2, kPortLabel), "COM: COM1");
    ASSERT_TRUE(ClickButton(dlg2, kCancel));
    again.Terminate();
}

}  // namespace
}  // namespace kelmirt_e2e
