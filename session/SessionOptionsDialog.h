// The four session-wide source-control preferences.
#ifndef CORVEL_SESSION_OPTIONS_DIALOG_H
#define CORVEL_SESSION_OPTIONS_DIALOG_H

#include "AfxControls.h"
#include "AfxDialog.h"
#include "frame/AdvancedOptions.h"

class CSessionOptionsDialog : public CDialog {
public:
    CSessionOptionsDialog(bool ignoreCase, bool ignoreSpaces, bool keepCheckedOutAfterAdd,
                          bool keepCheckedOutAfterCheckIn,
                          CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions, CWnd* parent);
    ~CSessionOptionsDialog() override;

    bool GetIgnoreCase() const { return m_bIgnoreCase != 0; }
    bool GetIgnoreSpaces() const { return m_bIgnoreSpaces != 0; }
    bool GetKeepCheckedOutAfterAdd() const { return m_bKeepCheckedOutAfterAdd != 0; }
    bool GetKeepCheckedOutAfterCheckIn() const { return m_bKeepCheckedOutAfterCheckIn != 0; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnAdvanced();

private:
    CButton m_btnAdvanced;
    int m_bIgnoreCase;
    int m_bIgnoreSpaces;
    int m_bKeepCheckedOutAfterAdd;
    int m_bKeepCheckedOutAfterCheckIn;
    CSCCAbstractGetCommandOptionsFunctionoid* m_pAdvancedOptions;

    DECLARE_MESSAGE_MAP()
};

#endif // CORVEL_SESSION_OPTIONS_DIALOG_H
