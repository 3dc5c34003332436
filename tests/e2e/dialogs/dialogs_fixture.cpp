#include "dialogs_fixture.h"

#include <sstream>

using namespace e2e;

namespace dialogs_e2e {

void DialogTest::TearDown() { host.Terminate(); }

HWND DialogTest::Open(const std::string& arguments, const std::string& caption, const std::string& tag) {
    LaunchOptions o;
    o.program = KM_DIALOG_HOST;
    o.copySiblings = false;
    o.arguments = arguments;
    o.runName = "dialogs-" + tag;
    if (!host.Start(o)) {
        ADD_FAILURE() << host.Error();
        return nullptr;
    }
    HWND dlg = WaitDialog(caption, host.Pid(), kOpenMs);
    EXPECT_NE(dlg, nullptr) << "no dialog " << caption;
    // Let it paint before anyone looks at it.
    if (dlg) WaitUntil([&] { return IsShown(dlg); }, 5000);
    Sleep(300);
    return dlg;
}

std::map<std::string, std::string> DialogTest::Result() {
    std::map<std::string, std::string> out;
    EXPECT_EQ(host.WaitExit(kOpenMs), std::optional<DWORD>(0));
    auto text = host.ReadFile("result.txt");
    if (!text) {
        ADD_FAILURE() << "the host wrote no result";
        return out;
    }
    std::stringstream in(*text);
    for (std::string line; std::getline(in, line);) {
        size_t eq = line.find('=');
        if (eq != std::string::npos) out[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return out;
}

HWND DialogTest::WaitMessageBox(DWORD ms) { return WaitDialog("dialog_host", host.Pid(), ms); }

void DialogTest::CloseMessageBox(HWND box) {
    ClickButton(box, IDOK);
    WaitUntil([&] { return !IsWindow(box); }, 5000);
}

HWND DialogTest::Focused() {
    GUITHREADINFO gi = {};
    gi.cbSize = sizeof(gi);
    DWORD tid = 0;
    for (HWND w : FindTopWindows(WindowQuery{std::nullopt, std::nullopt, host.Pid(), false})) {
        tid = GetWindowThreadProcessId(w, nullptr);
        break;
    }
    return tid && GetGUIThreadInfo(tid, &gi) ? gi.hwndFocus : nullptr;
}

ListViewState DialogTest::List(HWND dialog, int id) {
    std::string why;
    auto state = ReadListView(Control(dialog, id), &why);
    EXPECT_TRUE(state) << why;
    return state ? *state : ListViewState{};
}

void DialogTest::ClickCell(HWND dialog, int listId, int row, int column) {
    auto list = List(dialog, listId);
    ASSERT_LT(static_cast<size_t>(row), list.rows.size());
    const RECT& r = list.rows[static_cast<size_t>(row)].cells.at(static_cast<size_t>(column)).rect;
    ClickScreen(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    Sleep(300);
}

void DialogTest::ClickUpDown(HWND dialog, bool towardsEnd) { e2e::ClickUpDown(Control(dialog, kMove), towardsEnd); }

bool DialogTest::Checked(HWND dialog, int id) { return IsChecked(dialog, id); }

}  // namespace dialogs_e2e
