// CDiffOptionsDialog: before differences are shown. The path, with Browse, "Ignore Case", "Ignore
// Spaces" and the provider's advanced options.
#ifndef CORVEL_DIFF_OPTIONS_DIALOG_H
#define CORVEL_DIFF_OPTIONS_DIALOG_H

#include "AfxControls.h"
#include "AfxDialog.h"
#include "PathBoxWarning.h"
#include "frame/AdvancedOptions.h"

#include <string>

class CDiffOptionsDialog : public CDialog {
public:
    CDiffOptionsDialog(const std::string& path, bool ignoreCase, bool ignoreSpaces,
                       CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions, CWnd* parent);
    ~CDiffOptionsDialog() override;

    std::string GetPath() const;
    bool GetIgnoreCase() const { return m_bIgnoreCase != 0; }
    bool GetIgnoreSpaces() const { return m_bIgnoreSpaces != 0; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnAdvanced();
    void OnBrowse();

    CButton m_btnAdvanced;
    CString m_strPath;
    int m_bIgnoreCase;
    int m_bIgnoreSpaces;
    CSCCAbstractGetCommandOptionsFunctionoid* m_pAdvancedOptions;

    void OnPathChange();
    CPathBoxWarning m_warnPath;

    DECLARE_MESSAGE_MAP()
};

#endif // CORVEL_DIFF_OPTIONS_DIALOG_H
