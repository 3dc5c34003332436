// WM_PORT_ERROR: failures of the link to the cutter, by code.
#include "TestDlg.h"

LRESULT CTestDlg::OnPortError(WPARAM, LPARAM code) {
    if (code == 2) OnPortErrorReopen();
    return 1;
}
