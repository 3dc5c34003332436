#pragma once
// The cut-job options dialog: size, margins, save to file, copies, first segment,
// and the pen button that opens the job's cut strategy dialog. It holds values only:
// the caller fills the members, runs DoModal and reads them after IDOK.
#include <cstdint>

#include "dialog.h"

class CPresetDlg;

class Cpltfilecfg : public CDialog {
    FW_DECLARE_MESSAGE_MAP()
public:
    explicit Cpltfilecfg(CWnd* parent = nullptr);

    float m_left = 0;          // mm, edit 1009
    float m_top = 0;           // mm, edit 1010
    float m_width = 0;         // mm, shown only
    float m_height = 0;        // mm, shown only
    int m_saveToFile = 0;      // unchecked at every opening
    int m_copiesOn = 0;
    uint8_t m_english = 0;
    int32_t m_copyCount = 0;   // 1 to 99
    int32_t m_copySpace = 0;   // mm, 0 to 500
    int32_t m_segStart = 0;    // 1 to 30
    int32_t m_segMode = 0;     // [CutConfig] SegEnble
    int32_t m_markRows = 0;    // mark rows of the job; 1000 without marks
    CPresetDlg* m_pPresetDlg = nullptr;  // not owned

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCopiesClicked();
    void OnPens();

private:
    void EnableCopyFields();
};
