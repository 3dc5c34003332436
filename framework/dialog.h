#pragma once
// Modal dialogs from resources, with data exchange between controls and members.
#include <string>

#include "wnd.h"

class CDialog;

// One pass of data exchange: controls to members (save) or members to controls.
class CDataExchange {
public:
    CDataExchange(CDialog* dlg, bool save) : m_pDlgWnd(dlg), m_bSaveAndValidate(save) {}
    CDialog* m_pDlgWnd;
    bool m_bSaveAndValidate;
    int m_idLastControl = 0;
    // Reports a value out of range: tells the user, puts the focus back and stops the pass.
    void Fail(const std::string& message);
    struct Failure {};
};

// Binds a control to a member object (which may be of a derived control class).
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
void DDX_Text(CDataExchange* pDX, int id, std::string& value);
void DDX_Text(CDataExchange* pDX, int id, int& value);
void DDX_Text(CDataExchange* pDX, int id, float& value);
void DDX_Check(CDataExchange* pDX, int id, int& value);
void DDX_Radio(CDataExchange* pDX, int firstId, int& value);
// Combo boxes: the selected row's index, and the text of the row that matches exactly
// (a text no row matches leaves no row selected; an editable combo then shows it).
void DDX_CBIndex(CDataExchange* pDX, int id, int& index);
void DDX_CBStringExact(CDataExchange* pDX, int id, std::string& value);
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
void DDV_MinMaxFloat(CDataExchange* pDX, float value, float minVal, float maxVal);
void DDV_MaxChars(CDataExchange* pDX, const std::string& value, int maxChars);

class CDialog : public CWnd {
    FW_DECLARE_MESSAGE_MAP()
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

    // Runs the dialog; returns the value given to EndDialog, or -1 when it could not be created.
    virtual INT_PTR DoModal();
    void EndDialog(INT_PTR result);

    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange*) {}
    virtual void OnOK();
    virtual void OnCancel();
    // Runs the data exchange; false when a value failed its check.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

private:
    INT_PTR m_modalResult = -1;
    bool m_inModalLoop = false;
    static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);
};
