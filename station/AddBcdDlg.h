#pragma once
// The barcode number dialog: draws a random four-digit number for a contour job.
// The caller runs DoModal and reads m_number whatever closed the dialog (0 = none).
// rand() is seeded once by the station's main dialog.
#include <cstdint>

#include "dialog.h"
#include "font.h"

class CAddBcdDlg : public CDialog {
    FW_DECLARE_MESSAGE_MAP()
public:
    explicit CAddBcdDlg(CWnd* parent = nullptr);

    int32_t m_number = 0;  // 0 to 9999
    CFont m_numberFont;    // 15-point Arial for the number display

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnGenerate();
    LRESULT OnCtlColorStatic(WPARAM wp, LPARAM lp);
};
