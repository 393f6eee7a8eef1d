// CRenameOptionsDialog: the file to rename (with Browse) and its new name. No advanced options.
#ifndef CORVEL_RENAME_OPTIONS_DIALOG_H
#define CORVEL_RENAME_OPTIONS_DIALOG_H

#include "AfxDialog.h"
#include "PathBoxWarning.h"

#include <string>

class CRenameOptionsDialog : public CDialog {
public:
    CRenameOptionsDialog(const std::string& existingFile, const std::string& newName, CWnd* parent);
    ~CRenameOptionsDialog() override;

    std::string GetExistingFile() const;
    std::string GetNewName() const;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnBrowse();

    CString m_strExistingFile;
    CString m_strNewName;

    void OnPathChange();
    void OnNewNameChange();
    CPathBoxWarning m_warnPath;
    CPathBoxWarning m_warnNewName;

    DECLARE_MESSAGE_MAP()
};

#endif // CORVEL_RENAME_OPTIONS_DIALOG_H
