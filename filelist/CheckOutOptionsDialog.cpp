// The check-out command: its dialog, the worker and the export.
#include "CheckOutOptionsDialog.h"

#include "frame/ExportConvention.h"
#include "frame/Workers.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(CCheckOutOptionsDialog, CFileChecklistDialog)
END_MESSAGE_MAP()

CCheckOutOptionsDialog::CCheckOutOptionsDialog(const std::set<std::string>& files,
                                               const std::set<std::string>& otherFiles,
                                               CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions,
                                               std::string comment, int maxCommentLength, CWnd* parent)
    : CFileChecklistDialog(files, otherFiles, advancedOptions, parent), m_strComment(CommentForBox(comment)),
      m_nMaxCommentLength(maxCommentLength) {}

CCheckOutOptionsDialog::~CCheckOutOptionsDialog() = default;

UINT CCheckOutOptionsDialog::GetDialogId() const {
    return IDD_CHECK_OUT_OPTIONS;
}

void CCheckOutOptionsDialog::DoDataExchange(CDataExchange* pDX) {
    CFileChecklistDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_COMMENT, m_editComment);
    DDX_Text(pDX, IDC_COMMENT, m_strComment);
}

BOOL CCheckOutOptionsDialog::OnInitDialog() {
    CFileChecklistDialog::OnInitDialog();
    SetUpCommentBox(m_editComment, m_nMaxCommentLength);
    LayOutCommentBox(m_editComment, *GetDynamicLayout());
    return TRUE; // the focus goes to the first tab stop, OK
}

DialogEnd RunCheckOutOptionsDialog(std::set<std::string>& files,
                                   CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions,
                                   std::string& comment, int maxCommentLength,
                                   const std::set<std::string>& otherFiles, CWnd* parent) {
    CCheckOutOptionsDialog dialog(files, otherFiles, advancedOptions, comment, maxCommentLength, parent);
    const DialogEnd end = DialogEndOf(dialog.DoModal());
    if (end != DialogEnd::Ok)
        return end;
    // Build first, then swap: the caller gets both results or, if building fails, neither.
    std::set<std::string> checked = dialog.TakeCheckedFiles();
    std::string newComment = dialog.GetComment();
    files.swap(checked);
    comment.swap(newComment);
    return DialogEnd::Ok;
}

int CorvelDoCheckOutOptions(std::set<std::string>& files,
                            CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions, std::string& comment,
                            int maxCommentLength, const std::set<std::string>& otherFiles, HWND parent) {
    return CORVEL_CXX_EXPORT([&] {
        CORVEL_ENTER_EXPORT();
        return RunCheckOutOptionsDialog(files, advancedOptions, comment, maxCommentLength, otherFiles,
                                        CWnd::FromHandle(parent)) == DialogEnd::Ok
                   ? 1
                   : 0;
    });
}
