#pragma once
// The output dialog: save the command text to a file, or send it to the cutter.
#include "dialog.h"
#include "wnd.h"

class CCut : public CDialog {
    FW_DECLARE_MESSAGE_MAP()
public:
    CCut() : CDialog(130) {}
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    CWnd m_saveCheck;
    BOOL m_saveToFile = 0;  // the check box when the dialog window last went away

protected:
    void OnSaveToFile() {}
    LRESULT OnCloseMsg(WPARAM, LPARAM);
    LRESULT OnDestroyMsg(WPARAM, LPARAM);
};
