// CCheckInOptionsDialog: the file check list with a "Keep checked out" box and a one-line comment whose
// length the caller limits.
#ifndef CORVEL_CHECK_IN_OPTIONS_DIALOG_H
#define CORVEL_CHECK_IN_OPTIONS_DIALOG_H

#include "CommentBox.h"
#include "FileChecklistDialog.h"

class CCheckInOptionsDialog : public CFileChecklistDialog {
public:
    // `maxCommentLength` 0 or less disables the comment box.
    CCheckInOptionsDialog(const std::set<std::string>& files, const std::set<std::string>& otherFiles,
                          CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions, bool keepCheckedOut,
                          std::string comment, int maxCommentLength, CWnd* parent);
    ~CCheckInOptionsDialog() override;

    UINT GetDialogId() const override;
    bool GetKeepCheckedOut() const { return m_bKeepCheckedOut != 0; }
    std::string GetComment() const { return CommentFromBox(m_strComment); }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    CEdit m_editComment;
    int m_bKeepCheckedOut;
    CString m_strComment;
    int m_nMaxCommentLength;

    DECLARE_MESSAGE_MAP()
};

#endif // CORVEL_CHECK_IN_OPTIONS_DIALOG_H
