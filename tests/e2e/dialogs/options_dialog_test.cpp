// The cut-job options dialog driven from outside.
#include "dialogs_fixture.h"

using namespace e2e;

namespace dialogs_e2e {
namespace {

const char kCaption[] = "Cutting Set";

TEST_F(DialogTest, OutOfRangeAndUnreadableFieldsBringOneMessageAndTheFocusBack) {
    HWND dlg = Open("options copies=1 count=2 space=10 seg=1 segmode=1", kCaption, "options-ranges");
    ASSERT_NE(dlg, nullptr);
    struct { int id; const char* typed; const char* good; const char* message; } cases[] = {
        {kCount, "0", "2", "请输入一个在 1 和 99 之间的整数。"},
        {kCount, "100", "2", "请输入一个在 1 和 99 之间的整数。"},
        {kSpace, "501", "10", "请输入一个在 0 和 500 之间的整数。"},
        {kSegStart, "0", "1", "请输入一个在 1 和 30 之间的整数。"},
        {kSegStart, "31", "1", "请输入一个在 1 和 30 之间的整数。"},
        {kCount, "x", "2", "请输入一个整数。"},
        {kLeft, "1,5", "0", "请输入一个数。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.typed) + " in " + std::to_string(c.id));
        ASSERT_TRUE(SetControlText(dlg, c.id, c.typed));
        ClickButton(dlg, kOk);
        HWND box = WaitMessageBox();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(MessageBoxText(box), c.message);
        CloseMessageBox(box);
        EXPECT_EQ(WaitMessageBox(500), nullptr) << "shown once";
        EXPECT_TRUE(IsWindow(dlg)) << "the dialog stays open";
        EXPECT_TRUE(WaitUntil([&] { return Focused() == Control(dlg, c.id); }, 2000)) << "focus back to the field";
        SetControlText(dlg, c.id, c.good);
    }
    ClickButton(dlg, kOk);
    auto r = Result();
    EXPECT_EQ(r["result"], "1");
    EXPECT_EQ(r["count"], "2");
    EXPECT_EQ(r["space"], "10");
}

struct SegmentCase {
    const char* name;
    const char* args;
    bool accepted;
    const char* message;
};

class SegmentCheckTest : public DialogTest, public ::testing::WithParamInterface<SegmentCase> {};

TEST_P(SegmentCheckTest, SegmentStartIsComparedWithTheMarkRowsOnlyInSegmentMode) {
    const SegmentCase& c = GetParam();
    HWND dlg = Open(std::string("options ") + c.args, kCaption, std::string("options-seg-") + c.name);
    ASSERT_NE(dlg, nullptr);
    ClickButton(dlg, kOk);
    if (c.accepted) {
        EXPECT_EQ(Result()["result"], "1");
        return;
    }
    HWND box = WaitMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), c.message);
    CloseMessageBox(box);
    EXPECT_TRUE(IsWindow(dlg));
    SetControlText(dlg, kSegStart, "3");
    ClickButton(dlg, kOk);
    auto r = Result();
    EXPECT_EQ(r["result"], "1");
    EXPECT_EQ(r["seg"], "3");
}

INSTANTIATE_TEST_SUITE_P(Segments, SegmentCheckTest, ::testing::Values(
    SegmentCase{"rows2_start4", "segmode=1 markrows=2 seg=4", false, "起始段数大于总分段数!"},
    SegmentCase{"rows2_start4_english", "english=1 segmode=1 markrows=2 seg=4", false, "Segment cut begin number too big!"},
    SegmentCase{"rows2_start3", "segmode=1 markrows=2 seg=3", true, ""},
    SegmentCase{"no_marks", "segmode=1 markrows=1000 seg=30", true, ""},
    SegmentCase{"no_segment_mode", "segmode=0 markrows=2 seg=30", true, ""}),
    [](const ::testing::TestParamInfo<SegmentCase>& i) { return std::string(i.param.name); });

TEST_F(DialogTest, SaveToFileIsUncheckedAtEveryOpeningAndCopiesKeepTheLastValues) {
    HWND dlg = Open("options save=1 count=0 space=7 width=250.5 height=100 runs=2", kCaption, "options-reopen");
    ASSERT_NE(dlg, nullptr);
    EXPECT_FALSE(Checked(dlg, kSaveToFile));
    EXPECT_EQ(ControlText(dlg, kCount), "1") << "a count below 1 is raised at opening";
    EXPECT_EQ(ControlText(dlg, kWidth), "250.5");
    EXPECT_FALSE(IsWindowEnabled(Control(dlg, kWidth)));
    EXPECT_FALSE(IsWindowEnabled(Control(dlg, kCount)));
    EXPECT_FALSE(IsWindowEnabled(Control(dlg, kSegStart)));
    // Copies on enables count and spacing.
    ClickButton(dlg, kCopies);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(Control(dlg, kCount)) && IsWindowEnabled(Control(dlg, kSpace)); }, 2000));
    SetControlText(dlg, kCount, "4");
    SetControlText(dlg, kSpace, "12");
    ClickButton(dlg, kSaveToFile);
    ClickButton(dlg, kOk);

    // The second job: the same dialog object.
    ASSERT_TRUE(WaitUntil([&] {
        HWND again = WaitDialog(kCaption, host.Pid(), 100);
        return again && again != dlg && IsShown(again);
    }, kOpenMs));
    dlg = WaitDialog(kCaption, host.Pid(), 100);
    Sleep(300);
    EXPECT_FALSE(Checked(dlg, kSaveToFile));
    EXPECT_EQ(ControlText(dlg, kCount), "4");
    EXPECT_EQ(ControlText(dlg, kSpace), "12");
    ClickButton(dlg, kCancel);
    auto text = host.WaitExit(kOpenMs);
    EXPECT_EQ(text, std::optional<DWORD>(0));
    auto result = host.ReadFile("result.txt");
    ASSERT_TRUE(result);
    EXPECT_NE(result->find("run=1\nresult=1\nleft=0\ntop=0\nsave=1\ncopies=1\ncount=4\nspace=12\nseg=1\n"), std::string::npos) << *result;
    EXPECT_NE(result->find("run=2\nresult=2\n"), std::string::npos) << *result;
}

TEST_F(DialogTest, ThePenButtonOpensTheCutStrategyAndItKeepsItsRowsBetweenOpenings) {
    HWND dlg = Open("options colours=1:1:1,1:2:2,1:3:3", kCaption, "options-pens");
    ASSERT_NE(dlg, nullptr);
    ClickButton(dlg, kPens);
    HWND pens = WaitDialog("设置切割策略", host.Pid(), 5000);
    ASSERT_NE(pens, nullptr);
    Sleep(300);
    ClickCell(pens, kList, 0, 0);
    ClickUpDown(pens, true);
    ClickButton(pens, kOk);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(pens); }, 5000));

    ClickButton(dlg, kPens);
    pens = WaitDialog("设置切割策略", host.Pid(), 5000);
    ASSERT_NE(pens, nullptr);
    Sleep(300);
    auto list = List(pens, kList);
    ASSERT_EQ(list.rows.size(), 3u);
    EXPECT_EQ(list.rows[0].cells[1].text, "预设参数#2");
    EXPECT_EQ(list.rows[1].cells[1].text, "预设参数#1");
    ClickButton(pens, kCancel);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(pens); }, 5000));
    ClickButton(dlg, kOk);
    EXPECT_EQ(Result()["colours"], "1:2:2,1:1:1,1:3:3");
}

struct CaptionCase {
    const char* name;
    const char* args;
    std::vector<std::pair<int, const char*>> texts;
};

class OptionsCaptionTest : public DialogTest, public ::testing::WithParamInterface<CaptionCase> {};

TEST_P(OptionsCaptionTest, ShowsTheTextsOfItsLanguage) {
    const CaptionCase& c = GetParam();
    HWND dlg = Open(std::string("options copies=1 count=3 space=20 seg=2 segmode=1 width=310 height=120.25 ") + c.args,
                    kCaption, std::string("options-") + c.name);
    ASSERT_NE(dlg, nullptr);
    for (const auto& [id, text] : c.texts) EXPECT_EQ(ControlText(dlg, id), text) << "control " << id;
    // Centred on the screen.
    RECT r;
    GetWindowRect(dlg, &r);
    EXPECT_NEAR((r.left + r.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_TRUE(GetWindowLongW(dlg, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(Screenshot(std::string("options-dialog-") + c.name).empty());
    ClickButton(dlg, kCancel);
    EXPECT_EQ(Result()["result"], "2");
}

INSTANTIATE_TEST_SUITE_P(Languages, OptionsCaptionTest, ::testing::Values(
    CaptionCase{"english", "english=1", {{1, "CUT"}, {2, "Cancel"}, {1041, "Size"}, {1089, " Width:"}, {1088, "Heigth:"},
        {1042, "Border"}, {1090, "Left"}, {1091, "Top"}, {1060, "SaveToFile"}, {1080, "Copies"}, {1101, "Number:"},
        {1102, "Space:"}, {1108, "Segment cut from NO."}, {1109, "笔设置"}}},
    CaptionCase{"chinese", "english=0", {{1, "切割"}, {2, "取消"}, {1041, "切割尺寸:"}, {1089, "宽度"}, {1088, "高度"},
        {1042, "留  边"}, {1090, "左边距"}, {1091, "顶边距"}, {1060, "切割到文件"}, {1080, "重复切割"}, {1101, "份数:"},
        {1102, "间距:"}, {1108, "分段切割起始段号:"}, {1109, "笔设置"}}}),
    [](const ::testing::TestParamInfo<CaptionCase>& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace dialogs_e2e
