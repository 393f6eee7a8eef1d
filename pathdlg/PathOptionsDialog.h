// CPathOptionsDialog: what the single-file and difference dialogs share. A path box with Browse, a warning
// under it when the path hides characters, and the provider's advanced options; the path box grows with
// the dialog's width.
#ifndef CORVEL_PATH_OPTIONS_DIALOG_H
#define CORVEL_PATH_OPTIONS_DIALOG_H

#include "AfxControls.h"
#include "AfxDialog.h"
#include "PathBoxWarning.h"
#include "frame/AdvancedOptions.h"

#include <string>

class CPathOptionsDialog : public CDialog {
public:
    std::string GetPath() const;

protected:
    CPathOptionsDialog(UINT templateId, const std::string& path,
                       CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions, CWnd* parent);
    ~CPathOptionsDialog() override;

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnAdvanced();
    void OnBrowse();
    void OnPathChange();

    CButton m_btnAdvanced;
    CString m_strPath;
    CSCCAbstractGetCommandOptionsFunctionoid* m_pAdvancedOptions;
    CPathBoxWarning m_warnPath;

    DECLARE_MESSAGE_MAP()
};

#endif // CORVEL_PATH_OPTIONS_DIALOG_H
