#pragma once
#include "dialog.h"

// The maker's web address, shown in the version line and (in capitals) in the About box.
extern const char kMakerWebAddress[];

class CAboutDlg : public CDialog {
    FW_DECLARE_MESSAGE_MAP()
public:
    CAboutDlg();
    BOOL OnInitDialog() override;
    void EmptyHandler() {}
};
