// CCheckOutOptionsDialog: the file check list with a one-line comment whose length the caller limits.
// It shares the comment box with check-in (CommentBox.h), not a class.
#ifndef CORVEL_CHECK_OUT_OPTIONS_DIALOG_H
#define CORVEL_CHECK_OUT_OPTIONS_DIALOG_H

#include "CommentBox.h"
#include "FileChecklistDialog.h"

class CCheckOutOptionsDialog : public CFileChecklistDialog {
public:
    // `maxCommentLength` 0 or less disables the comment box.
    CCheckOutOptionsDialog(const std::set<std::string>& files, const std::set<std::string>& otherFiles,
                           CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions, std::string comment,
                           int maxCommentLength, CWnd* parent);
    ~CCheckOutOptionsDialog() override;

    UINT GetDialogId() const override;
    std::string GetComment() const { return CommentFromBox(m_strComment); }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    CEdit m_editComment;
    CString m_strComment;
    int m_nMaxCommentLength;

    DECLARE_MESSAGE_MAP()
};

#endif // CORVEL_CHECK_OUT_OPTIONS_DIALOG_H
