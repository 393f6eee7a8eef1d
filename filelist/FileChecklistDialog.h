// CFileChecklistDialog: a command's files as a check list. The caller's files start checked, the other
// candidates unchecked; after OK the rows are split back into the checked and the unchecked set. The
// multi-file command shows it as it is; check-in and check-out derive from it.
#ifndef CORVEL_FILE_CHECKLIST_DIALOG_H
#define CORVEL_FILE_CHECKLIST_DIALOG_H

#include "AfxControls.h"
#include "AfxDialog.h"
#include "CheckListBox.h"
#include "frame/AdvancedOptions.h"

#include <set>
#include <string>
#include <utility>
#include <vector>

class CFileChecklistDialog : public CDialog {
public:
    CFileChecklistDialog(const std::set<std::string>& files, const std::set<std::string>& otherFiles,
                         CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions, CWnd* parent);
    ~CFileChecklistDialog() override;

    INT_PTR DoModal() override;
    // After OK: the paths of the rows that were checked, handed over; the dialog keeps none of them.
    std::set<std::string> TakeCheckedFiles() { return std::move(m_checkedFiles); }
    // The template this dialog is built from.
    virtual UINT GetDialogId() const;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnAdvanced();
    void OnSelChangeFileList();
    void OnSelectAll();

    CButton m_btnAdvanced;
    CCheckListBox m_checkList;
    std::set<std::string> m_checkedFiles;
    std::set<std::string> m_uncheckedFiles;
    CSCCAbstractGetCommandOptionsFunctionoid* m_pAdvancedOptions;

private:
    void FillList();
    // Splits the rows back into the two sets by the marks they had when the list went.
    void CollectRows();

    // The row of each path (-1: none), the checked set's paths in their order, then the unchecked set's.
    // Closing walks the sets in their own order and moves only the paths whose marks changed, so every
    // path comes back as the caller's own bytes.
    std::vector<int> m_rowOfPath;
    bool m_rowsCutAtNul = false; // some path holds a NUL, so its row shows it only up to there

    DECLARE_MESSAGE_MAP()
};

#endif // CORVEL_FILE_CHECKLIST_DIALOG_H
