// The cut strategy dialog driven from outside: the station's build (dialog 211) and
// the converter's (dialog 131).
#include "dialogs_fixture.h"

#include "aci_palette.h"
#include "swatches.h"

using namespace e2e;

namespace dialogs_e2e {
namespace {

const char kStationCaption[] = "设置切割策略";
const char kThreePens[] = "colours=1:1:1,1:2:2,1:3:3";

std::vector<std::string> Column(const ListViewState& list, size_t column) {
    std::vector<std::string> out;
    for (const auto& row : list.rows) out.push_back(row.cells.at(column).text);
    return out;
}

// A point inside a cell's swatch, clear of its text and the grid lines.
POINT SwatchPoint(const RECT& r) { return POINT{r.right - 6, (r.top + r.bottom) / 2}; }

TEST_F(DialogTest, WithoutCutterPresetsEveryRowSaysNotUsedAndNoCellOpensAnEditor) {
    HWND dlg = Open(std::string("preset use=0 ") + kThreePens, kStationCaption, "preset-off");
    ASSERT_NE(dlg, nullptr);
    auto list = List(dlg, kList);
    EXPECT_EQ(list.columns, (std::vector<std::string>{"颜色", "机器预设参数"}));
    EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"不使用", "不使用", "不使用"}));
    EXPECT_FALSE(Checked(dlg, kUseMachine));

    ClickCell(dlg, kList, 1, 1);
    EXPECT_FALSE(IsWindowVisible(Control(dlg, kEditor)));
    // Unchecking a row is not taken over while presets are off.
    PressKey(Control(dlg, kList), VK_SPACE);
    Sleep(300);
    EXPECT_FALSE(List(dlg, kList).rows.at(1).checked);
    ClickButton(dlg, kOk);
    auto r = Result();
    EXPECT_EQ(r["result"], "1");
    EXPECT_EQ(r["colours"], "1:1:1,1:2:2,1:3:3");
}

TEST_F(DialogTest, TheCutterPresetCheckBoxSwitchesToColourRowsAndTheLayerRadioStays) {
    HWND dlg = Open(std::string("preset use=0 mode=0 ") + kThreePens, kStationCaption, "preset-switch");
    ASSERT_NE(dlg, nullptr);
    auto list = List(dlg, kList);
    EXPECT_EQ(list.columns.at(0), "图层");
    EXPECT_TRUE(list.rows.empty()) << "the station fills colour rows only";
    EXPECT_TRUE(Checked(dlg, kByLayer));

    ClickButton(dlg, kUseMachine);
    Sleep(300);
    list = List(dlg, kList);
    EXPECT_EQ(list.columns.at(0), "颜色");
    EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"预设参数#1", "预设参数#2", "预设参数#3"}));
    EXPECT_TRUE(Checked(dlg, kByLayer));
    EXPECT_FALSE(Checked(dlg, kByColour));
    ClickButton(dlg, kCancel);
    auto r = Result();
    EXPECT_EQ(r["result"], "2");
    EXPECT_EQ(r["use"], "1");
    EXPECT_EQ(r["mode"], "1");
}

struct MoveCase {
    const char* name;
    int select;         // -1: no row selected
    bool towardsEnd;
    const char* rows;   // the colour rows afterwards
    int selectedAfter;  // -1: none
};

class RowMoveTest : public DialogTest, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(RowMoveTest, MovesTheSelectedRowInTheArrayAndKeepsItSelected) {
    const MoveCase& c = GetParam();
    HWND dlg = Open(std::string("preset use=1 ") + kThreePens, kStationCaption, std::string("preset-move-") + c.name);
    ASSERT_NE(dlg, nullptr);
    if (c.select >= 0) ClickCell(dlg, kList, c.select, 0);
    ClickUpDown(dlg, c.towardsEnd);
    auto list = List(dlg, kList);
    ASSERT_EQ(list.rows.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(list.rows[static_cast<size_t>(i)].selected, i == c.selectedAfter) << "row " << i;
        if (i == c.selectedAfter) {
            EXPECT_TRUE(list.rows[static_cast<size_t>(i)].focused);
        }
    }
    ClickButton(dlg, kCancel);  // moves stand whatever closes the dialog
    EXPECT_EQ(Result()["colours"], c.rows);
}

INSTANTIATE_TEST_SUITE_P(Moves, RowMoveTest, ::testing::Values(
    MoveCase{"second_down", 1, true, "1:1:1,1:3:3,1:2:2", 2},
    MoveCase{"second_up", 1, false, "1:2:2,1:1:1,1:3:3", 0},
    MoveCase{"first_up", 0, false, "1:1:1,1:2:2,1:3:3", 0},
    MoveCase{"last_down", 2, true, "1:1:1,1:2:2,1:3:3", 2},
    MoveCase{"none_selected", -1, true, "1:1:1,1:2:2,1:3:3", -1}),
    [](const ::testing::TestParamInfo<MoveCase>& i) { return std::string(i.param.name); });

TEST_F(DialogTest, InCellPresetEditsStandAfterCancelAndOnlyADigitOneToEightCounts) {
    HWND dlg = Open("preset use=1 colours=1:2:1,1:2:2,1:2:3,1:2:4", kStationCaption, "preset-edit");
    ASSERT_NE(dlg, nullptr);
    HWND editor = Control(dlg, kEditor);
    struct { int row; const char* typed; const char* shown; } cases[] = {
        {0, "abc5", "abc5"},        // ends in 5: preset 5
        {1, "", "预设参数#2"},       // empty: kept
        {2, "预设参数#9", "预设参数#2"},  // no such preset: kept
        {3, "预设参数#8", "预设参数#8"},
    };
    for (const auto& c : cases) {
        ClickCell(dlg, kList, c.row, 1);
        ASSERT_TRUE(IsWindowVisible(editor)) << "row " << c.row;
        EXPECT_EQ(TextOf(editor), "预设参数#2");
        // The editor sits on the cell.
        RECT er, cell = List(dlg, kList).rows.at(static_cast<size_t>(c.row)).cells.at(1).rect;
        GetWindowRect(editor, &er);
        EXPECT_EQ(er.left, cell.left);
        EXPECT_EQ(er.top, cell.top);
        SetTextOf(editor, c.typed);
        // Leaving the editor (a click on the list's empty part) ends the edit.
        RECT lr;
        GetClientRect(Control(dlg, kList), &lr);
        ClickClient(Control(dlg, kList), POINT{lr.right / 2, lr.bottom - 10});
        Sleep(300);
        EXPECT_FALSE(IsWindowVisible(editor));
        EXPECT_EQ(List(dlg, kList).rows.at(static_cast<size_t>(c.row)).cells.at(1).text, c.shown) << c.typed;
    }
    if (!HasFailure()) Screenshot("preset-station-edited");
    ClickButton(dlg, kCancel);
    EXPECT_EQ(Result()["colours"], "1:5:1,1:2:2,1:2:3,1:8:4");
}

TEST_F(DialogTest, OkTakesOverCheckBoxesAndPensShowTheirColours) {
    // Pens 0 to 8 and two numbers the pen table does not hold.
    HWND dlg = Open("preset use=1 colours=1:1:0,1:1:1,1:2:2,1:3:3,1:4:4,1:5:5,1:6:6,1:7:7,1:8:8,1:1:9,1:1:-1",
                    kStationCaption, "preset-colours");
    ASSERT_NE(dlg, nullptr);
    auto list = List(dlg, kList);
    ASSERT_EQ(list.rows.size(), 11u);
    for (int pen = 0; pen <= 10; ++pen) {
        const auto& row = list.rows[static_cast<size_t>(pen)];
        if (row.cells[0].rect.bottom > 0 && row.cells[0].rect.top < row.cells[0].rect.bottom) {
            RECT lr;
            GetWindowRect(Control(dlg, kList), &lr);
            if (row.cells[0].rect.bottom > lr.bottom) continue;  // scrolled out of sight
            COLORREF want = pen <= 8 ? *PenSwatch(pen) : GetSysColor(COLOR_WINDOW);
            EXPECT_EQ(ScreenPixel(SwatchPoint(row.cells[0].rect)), want) << "pen " << pen;
        }
    }
    Screenshot("preset-station-pens");
    // Row 3 unchecked by the user; OK takes it over.
    ClickCell(dlg, kList, 3, 0);
    PressKey(Control(dlg, kList), VK_SPACE);
    Sleep(300);
    ClickButton(dlg, kOk);
    auto r = Result();
    EXPECT_EQ(r["result"], "1");
    EXPECT_EQ(r["colours"], "1:1:0,1:1:1,1:2:2,0:3:3,1:4:4,1:5:5,1:6:6,1:7:7,1:8:8,1:1:9,1:1:-1");
}

TEST_F(DialogTest, ConverterVariantShowsLayerAndColourRowsWithPaletteSwatches) {
    HWND dlg = Open("preset variant=converter mode=0 layers=1:1:Outline,0:4:Text colours=1:2:1,1:3:5,1:1:300",
                    "Preset", "preset-converter");
    ASSERT_NE(dlg, nullptr);
    auto list = List(dlg, kConvList);
    EXPECT_EQ(list.columns, (std::vector<std::string>{"layer", "Machine Preset"}));
    EXPECT_EQ(Column(list, 0), (std::vector<std::string>{"Outline", "Text"}));
    EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"Preset#1", "Preset#4"}));
    EXPECT_TRUE(list.rows.at(0).checked);
    EXPECT_FALSE(list.rows.at(1).checked);
    EXPECT_EQ(ControlText(dlg, kConvByLayer), "layer");
    EXPECT_EQ(ControlText(dlg, 1013), "Method");
    EXPECT_EQ(ControlText(dlg, 1014), "Sort");
    EXPECT_EQ(ControlText(dlg, kOk), "OK");
    EXPECT_EQ(ControlText(dlg, kCancel), "CANCEL");

    // The user picks colour rows and a sort.
    ClickButton(dlg, kConvByColour);
    Sleep(300);
    list = List(dlg, kConvList);
    EXPECT_EQ(list.columns.at(0), "Color");
    ASSERT_EQ(list.rows.size(), 3u);
    EXPECT_EQ(ScreenPixel(SwatchPoint(list.rows[0].cells[0].rect)), *AciPaletteEntry(1));
    EXPECT_EQ(ScreenPixel(SwatchPoint(list.rows[1].cells[0].rect)), *AciPaletteEntry(5));
    EXPECT_EQ(ScreenPixel(SwatchPoint(list.rows[2].cells[0].rect)), GetSysColor(COLOR_WINDOW)) << "no palette entry";
    HWND sort = Control(dlg, kConvSort);
    EXPECT_EQ(Send(sort, CB_GETCURSEL), std::optional<LRESULT>(0));
    Send(sort, CB_SETCURSEL, 1);
    Send(dlg, WM_COMMAND, MAKEWPARAM(kConvSort, CBN_SELCHANGE), reinterpret_cast<LPARAM>(sort));
    // A click on a preset cell opens the editor without any check box.
    ClickCell(dlg, kConvList, 1, 1);
    EXPECT_TRUE(IsWindowVisible(Control(dlg, kConvEditor)));
    EXPECT_EQ(ControlText(dlg, kConvEditor), "Preset#3");
    Screenshot("preset-converter-editor-open");
    ClickButton(dlg, kCancel);
    auto r = Result();
    EXPECT_EQ(r["result"], "2");
    EXPECT_EQ(r["mode"], "1");
    EXPECT_EQ(r["sort"], "1");
}

TEST_F(DialogTest, StationDialogWithAnEditorOpenForTheScreenshot) {
    HWND dlg = Open("preset use=1 colours=1:1:1,1:2:2,0:3:3,1:4:4,1:5:5,1:8:8", kStationCaption, "preset-shot");
    ASSERT_NE(dlg, nullptr);
    ClickCell(dlg, kList, 2, 1);
    EXPECT_TRUE(IsWindowVisible(Control(dlg, kEditor)));
    EXPECT_FALSE(Screenshot("preset-station-editor-open", {dlg}).empty());
    ClickButton(dlg, kCancel);
    EXPECT_EQ(Result()["result"], "2");
}

}  // namespace
}  // namespace dialogs_e2e
