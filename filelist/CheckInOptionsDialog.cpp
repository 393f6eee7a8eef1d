// The check-in command: its dialog, the worker and the export.
#include "CheckInOptionsDialog.h"

#include "frame/ExportConvention.h"
#include "frame/Workers.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(CCheckInOptionsDialog, CFileChecklistDialog)
END_MESSAGE_MAP()

CCheckInOptionsDialog::CCheckInOptionsDialog(const std::set<std::string>& files,
                                             const std::set<std::string>& otherFiles,
                                             CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions,
                                             bool keepCheckedOut, std::string comment, int maxCommentLength,
                                             CWnd* parent)
    : CFileChecklistDialog(files, otherFiles, advancedOptions, parent),
      m_bKeepCheckedOut(keepCheckedOut ? 1 : 0), m_strComment(CommentForBox(comment)),
      m_nMaxCommentLength(maxCommentLength) {}

CCheckInOptionsDialog::~CCheckInOptionsDialog() = default;

UINT CCheckInOptionsDialog::GetDialogId() const {
    return IDD_CHECK_IN_OPTIONS;
}

void CCheckInOptionsDialog::DoDataExchange(CDataExchange* pDX) {
    CFileChecklistDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_COMMENT, m_editComment);
    DDX_Check(pDX, IDC_KEEP_CHECKED_OUT, m_bKeepCheckedOut);
    DDX_Text(pDX, IDC_COMMENT, m_strComment);
}

BOOL CCheckInOptionsDialog::OnInitDialog() {
    CFileChecklistDialog::OnInitDialog();
    SetUpCommentBox(m_editComment, m_nMaxCommentLength);
    LayOutCommentBox(m_editComment, *GetDynamicLayout());
    GetDynamicLayout()->AddItem(IDC_KEEP_CHECKED_OUT, CDynamicLayout::MoveVertical(100),
                                CDynamicLayout::SizeHorizontal(100));
    return TRUE; // the focus goes to the first tab stop, OK
}

DialogEnd RunCheckInOptionsDialog(std::set<std::string>& files,
                                  CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions,
                                  bool& keepCheckedOut, std::string& comment, int maxCommentLength,
                                  const std::set<std::string>& otherFiles, CWnd* parent) {
    CCheckInOptionsDialog dialog(files, otherFiles, advancedOptions, keepCheckedOut, comment,
                                 maxCommentLength, parent);
    const DialogEnd end = DialogEndOf(dialog.DoModal());
    if (end != DialogEnd::Ok)
        return end;
    // Everything that can fail comes first; the caller's arguments then change by swaps that cannot, so
    // they are either all written back or left as they were.
    std::set<std::string> checked = dialog.TakeCheckedFiles();
    std::string newComment = dialog.GetComment();
    const bool keep = dialog.GetKeepCheckedOut();
    files.swap(checked);
    comment.swap(newComment);
    keepCheckedOut = keep;
    return DialogEnd::Ok;
}

int CorvelDoCheckInOptions(std::set<std::string>& files,
                           CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions, int& keepCheckedOut,
                           std::string& comment, int maxCommentLength,
                           const std::set<std::string>& otherFiles, HWND parent) {
    return CORVEL_CXX_EXPORT([&] {
        CORVEL_ENTER_EXPORT();
        bool keep = FlagToBool(keepCheckedOut);
        const bool accepted = RunCheckInOptionsDialog(files, advancedOptions, keep, comment, maxCommentLength,
                                                      otherFiles, CWnd::FromHandle(parent)) == DialogEnd::Ok;
        StoreFlag(keepCheckedOut, keep);
        return accepted ? 1 : 0;
    });
}
