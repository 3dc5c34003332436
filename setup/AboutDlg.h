#pragma once
#include "dialog.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
};
