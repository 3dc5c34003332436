#pragma once
// The settings dialog. The caller copies its settings in before the run and takes
// them back only after OK (the two size ratios after every run).
#include <windows.h>

#include <string>

#include "combobox.h"
#include "dialog.h"

class CCfgdlg : public CDialog {
    FW_DECLARE_MESSAGE_MAP()
public:
    CCfgdlg(CWnd* parent, DCB line);
    ~CCfgdlg() override;

    DCB m_line;
    int m_english = 0;

    // Fields shown to the user.
    int m_modelIndex = 0;
    std::string m_portText;
    int m_cutImageMode = 0;
    int m_flagColor = 0;
    int m_dashedMode = 0;
    float m_solidLineLen = 0, m_jumpLineLen = 0;
    int m_canFeedPaper = 0;
    float m_ySteps = 0;
    int m_segEnble = 0;
    int m_segLen = 200;
    int m_closeEnble = 0;
    float m_closeOffset = 0.5f;

    // Kept in the dialog but never shown; they still take part in the exchange.
    std::string m_baudText, m_parityText, m_dataBitsText, m_stopBitsText, m_bufferText;
    std::string m_exportFolder, m_exportFileName;
    int m_waitSecond = 1;
    int m_newPort = 0;
    int m_sharpEnble = 0;
    float m_sharpOffset = 0.6f;
    int m_reducePointEnble = 0;
    float m_reducePoint = 0.2f;
    float m_xDesignSize = 100, m_xTrueSize = 100, m_yDesignSize = 100, m_yTrueSize = 100;
    float m_xSteps = 0;
    int m_startSegment = 1;

    // Handed through unchanged.
    float m_xSizeRedeem = 1, m_ySizeRedeem = 1;

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

protected:
    void OnConfirmSettings();
    void OnSelchangeModel();
    void OnSelchangeLanguage();
    void OnContourModeClicked();
    void OnBrowseExportFolder();
    void EmptyHandler() {}

private:
    CComboBox m_modelList, m_portList, m_markColourList, m_languageList;
    CComboBox m_baudList, m_parityList, m_dataBitsList, m_stopBitsList, m_bufferList;
    // Binds the lists to their controls (once; the data exchange binds them too).
    void BindLists();
    HBITMAP m_picture = nullptr;
    void ShowModelPicture();
    void EnableSegmentLength();
};
