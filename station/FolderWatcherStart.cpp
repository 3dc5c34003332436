// Start of the export-folder watcher thread. The watcher itself arrives with the
// drawing-program bridge; until then no thread is started and nothing is reported.
#include "StationState.h"
#include "TestDlg.h"

bool CTestDlg::StartFolderWatcher() {
    g_watcherThread = nullptr;
    return true;
}
