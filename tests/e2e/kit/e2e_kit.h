#pragma once
// End-to-end test kit: starts a Windows program in a folder of its own and drives
// it from outside the way a user or a peer program would (windows, messages,
// controls, popup menus, tray, screenshots). UTF-8 at the interface.
#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);
std::string Backslashed(std::string path);  // a path from the build, as Windows writes it
bool EqualNoCase(const std::wstring& a, const std::wstring& b);

// Folders the build gave us, as the Wine program sees them (backslashes).
std::string DistDir();    // the Windows deliverables
std::string OutputDir();  // what a person should look at afterwards
std::string TempDir();    // GetTempPath, with its trailing backslash

std::string JoinPath(const std::string& folder, const std::string& name);
bool FileExists(const std::string& path);
std::optional<std::string> ReadFileText(const std::string& path);
bool WriteFileText(const std::string& path, const std::string& text);
bool DeleteFileIfAny(const std::string& path);
void RemoveTree(const std::string& path);

struct LaunchOptions {
    std::string program;                     // full path of the .exe to copy and start
    bool inPlace = false;                    // start it where it lies: no run folder, nothing copied
    bool copySiblings = true;                // also copy every file beside it (not folders)
    bool copyFolders = false;                // with copySiblings: the folders beside it too, whole
    std::vector<std::string> companions;     // or only these files beside it
    std::map<std::string, std::string> settingsFiles;  // name -> text written into the run folder
    std::vector<std::string> removeFiles;    // names deleted from the run folder after copying
    std::map<std::string, std::string> env;  // additions to (or overrides of) our environment
    std::string workDir;                     // empty: the run folder
    std::string arguments;                   // command line after the program's path
    std::string runName;                     // folder name under OutputDir()\runs; empty: generated
};

// A started program. The destructor ends it if it still runs.
class CProgram {
public:
    CProgram() = default;
    ~CProgram();
    CProgram(const CProgram&) = delete;
    CProgram& operator=(const CProgram&) = delete;

    // Copies and starts; false with a reason in Error() when that fails.
    bool Start(const LaunchOptions& options);
    const std::string& Error() const { return error_; }

    const std::string& Folder() const { return folder_; }   // the run folder
    const std::string& ExePath() const { return exe_; }
    HANDLE Process() const { return process_; }
    DWORD Pid() const { return pid_; }
    bool Running() const;

    // Waits for the end; the exit code when it ended within the time.
    std::optional<DWORD> WaitExit(DWORD timeoutMs);
    void Terminate();

    // A file of the run folder.
    std::optional<std::string> ReadFile(const std::string& name) const;

private:
    bool Launch(const LaunchOptions& options);  // exe_ in folder_, with the options' environment

    std::string folder_, exe_, error_;
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
};

// --- windows -------------------------------------------------------------
struct WindowQuery {
    std::optional<std::string> cls;       // window class, exact
    std::optional<std::string> caption;   // window text, exact
    DWORD pid = 0;                        // 0: any process
    bool visibleOnly = false;
};

std::vector<HWND> FindTopWindows(const WindowQuery& q);
HWND FindTopWindow(const WindowQuery& q);
HWND WaitTopWindow(const WindowQuery& q, DWORD timeoutMs);
// Waits until no top-level window matches; true when none is left.
bool WaitNoTopWindow(const WindowQuery& q, DWORD timeoutMs);
bool IsShown(HWND w);  // visible and not minimized
std::string ClassOf(HWND w);
DWORD PidOf(HWND w);

// Ends every process that owns a matching top-level window (a leftover of a crashed run).
int EndProgramsWithWindow(const WindowQuery& q);

// --- messages ------------------------------------------------------------
// SendMessageTimeout: empty when the receiver did not answer in time (hung or gone).
std::optional<LRESULT> Send(HWND w, UINT msg, WPARAM wp = 0, LPARAM lp = 0, DWORD timeoutMs = 5000);
bool Post(HWND w, UINT msg, WPARAM wp = 0, LPARAM lp = 0);

// --- dialogs and controls ------------------------------------------------
// A dialog or message box by caption (and class, "#32770" unless given), optionally of one process.
HWND WaitDialog(const std::string& caption, DWORD pid, DWORD timeoutMs, const std::string& cls = "#32770");
std::string TextOf(HWND w);                           // WM_GETTEXT, works across processes
bool SetTextOf(HWND w, const std::string& text);      // WM_SETTEXT
HWND Control(HWND dialog, int id);
std::string ControlText(HWND dialog, int id);
bool SetControlText(HWND dialog, int id, const std::string& text);
std::string ListText(HWND combo, int index);          // a row of a combo box's list, "<none>" if none
bool IsChecked(HWND dialog, int id);                  // a check box or radio button is checked
std::vector<std::string> StaticTexts(HWND dialog);    // every non-empty text static (no icons)
std::string MessageBoxText(HWND box);                 // the message of a message box
bool ClickButton(HWND button);                        // posts BM_CLICK
bool ClickButton(HWND dialog, int id);
// Presses a key in the window (its focused child when it has one), as posted key messages.
bool PressKey(HWND w, UINT vk);

// --- popup menus (TrackPopupMenu, class "#32768") -------------------------
struct MenuItem {
    int position = 0;
    UINT id = 0;
    std::string text;
    bool separator = false;
    bool greyed = false;   // MF_GRAYED or MF_DISABLED
    bool isDefault = false;
    RECT rect{};           // screen coordinates
};
HWND WaitPopupMenu(DWORD pid, DWORD timeoutMs);
// The items of an open popup menu. Menus belong to their process, so this reads them
// from inside the program's thread through the kit's probe library.
std::optional<std::vector<MenuItem>> ReadPopupMenu(HWND menuWindow, std::string* why = nullptr);
// A window's menu bar, and the pop-up at a position of it, read the same way (the pop-up
// as the program's update handlers last left it).
std::optional<std::vector<MenuItem>> ReadMenuBar(HWND window, std::string* why = nullptr);
std::optional<std::vector<MenuItem>> ReadMenuBarPopup(HWND window, int position, std::string* why = nullptr);
enum class PickBy { Keyboard, Mouse };
// Chooses the item at this position as a user would; the program then gets its WM_COMMAND.
bool PickMenuItem(HWND menuWindow, const std::vector<MenuItem>& items, int position, PickBy how);
bool CloseMenu(HWND menuWindow);  // Esc

// --- list views in report style -------------------------------------------
struct ListCell {
    std::string text;
    RECT rect{};  // screen coordinates (column 0: its label part, right of the check box)
};
struct ListRow {
    bool checked = false, selected = false, focused = false;
    std::vector<ListCell> cells;
};
struct ListViewState {
    std::vector<std::string> columns;
    std::vector<ListRow> rows;
};
// Reads a list view from inside its program (through the probe library).
std::optional<ListViewState> ReadListView(HWND list, std::string* why = nullptr);

// --- mouse -----------------------------------------------------------------
// A left click at this screen point, as the user's mouse gives it.
void ClickScreen(POINT pt);
// A left click at this point of the window's client area.
void ClickClient(HWND w, POINT pt);
// A click on the lower (towardsEnd) or upper arrow of an up-down control, then time to act on it.
void ClickUpDown(HWND updown, bool towardsEnd);
// The colour at a screen point as it shows now (0x00BBGGRR).
COLORREF ScreenPixel(POINT pt);

// --- notification area ---------------------------------------------------
struct TrayState {
    std::vector<std::string> tips;      // tooltip texts the shell holds for icons
    std::vector<std::string> balloons;  // balloon texts on show
};
// Empty with a reason when the shell does not expose its icons to us.
std::optional<TrayState> ReadTray(std::string* why = nullptr);

// --- screen --------------------------------------------------------------
// Captures the whole virtual screen into OutputDir()\<name>.png; the path, or empty.
std::string Screenshot(const std::string& name);
// Captures only these windows, cropped to the union of their rectangles (white where none
// of them is), with other balloons and tips hidden for the moment of the shot. Waits up to 5 s
// for the windows to come on screen.
std::string Screenshot(const std::string& name, const std::vector<HWND>& windows);

// Polls until pred() holds or the time runs out.
template <class Pred>
bool WaitUntil(Pred pred, DWORD timeoutMs, DWORD stepMs = 20) {
    DWORD start = GetTickCount();
    for (;;) {
        if (pred()) return true;
        if (GetTickCount() - start >= timeoutMs) return pred();
        Sleep(stepMs);
    }
}

}  // namespace e2e
