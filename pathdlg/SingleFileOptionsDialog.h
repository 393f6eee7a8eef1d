// CSingleFileOptionsDialog: a command on one file. The path, editable and with Browse, and the
// provider's advanced options.
#ifndef CORVEL_SINGLE_FILE_OPTIONS_DIALOG_H
#define CORVEL_SINGLE_FILE_OPTIONS_DIALOG_H

#include "AfxControls.h"
#include "AfxDialog.h"
#include "PathBoxWarning.h"
#include "frame/AdvancedOptions.h"

#include <string>

class CSingleFileOptionsDialog : public CDialog {
public:
    CSingleFileOptionsDialog(const std::string& path,
                             CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions, CWnd* parent);
    ~CSingleFileOptionsDialog() override;

    std::string GetPath() const;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnAdvanced();
    void OnBrowse();

    CButton m_btnAdvanced;
    CString m_strPath;
    CSCCAbstractGetCommandOptionsFunctionoid* m_pAdvancedOptions;

    void OnPathChange();
    CPathBoxWarning m_warnPath;

    DECLARE_MESSAGE_MAP()
};

#endif // CORVEL_SINGLE_FILE_OPTIONS_DIALOG_H
