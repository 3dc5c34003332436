// The folder watcher that Auto mode runs: a worker thread following last-write changes
// of the export folder until the stop event ends it. A change has no effect of its own;
// jobs arrive only by their messages.
#include <windows.h>

#include <memory>

#include "StationState.h"
#include "TestDlg.h"
#include "fwstring.h"

namespace {

const DWORD kWatcherEndMs = 5000;

// The folder is the watcher's own copy, taken when it was started.
DWORD WINAPI WatchExportFolder(LPVOID folderCopy) {
    std::unique_ptr<std::wstring> folder(static_cast<std::wstring*>(folderCopy));
    HANDLE stop = g_stopEvent;
    HANDLE change = FindFirstChangeNotificationW(folder->c_str(), FALSE, FILE_NOTIFY_CHANGE_LAST_WRITE);
    if (change == INVALID_HANDLE_VALUE) return 0;
    HANDLE events[2] = {change, stop};
    for (;;) {
        DWORD which = WaitForMultipleObjects(2, events, FALSE, INFINITE);
        if (which == WAIT_OBJECT_0) {
            if (!FindNextChangeNotification(change)) ExitProcess(GetLastError());
        } else if (which == WAIT_OBJECT_0 + 1) {
            // The thread reference belongs to the user-interface thread, which waits
            // for this thread's end before it starts another.
            ResetEvent(stop);
            FindCloseChangeNotification(change);
            return 1;
        } else {
            ExitProcess(GetLastError());
        }
    }
}

}  // namespace

bool CTestDlg::StopFolderWatcher() {
    if (!g_watcherThread) return true;
    SetEvent(g_stopEvent);
    if (WaitForSingleObject(g_watcherThread, kWatcherEndMs) != WAIT_OBJECT_0) return false;
    CloseHandle(g_watcherThread);
    g_watcherThread = nullptr;
    return true;
}

bool CTestDlg::StartFolderWatcher() {
    // Never two at once: the previous watcher has ended before the next one starts.
    if (!StopFolderWatcher()) return false;
    ResetEvent(g_stopEvent);
    auto* folder = new std::wstring(Utf8ToWide(g_watcherFolder));
    HANDLE thread = CreateThread(nullptr, 0, &WatchExportFolder, folder, 0, nullptr);
    if (!thread) {
        delete folder;
        return false;
    }
    g_watcherThread = thread;
    return true;
}
